#include "encoder/Encoder.h"
