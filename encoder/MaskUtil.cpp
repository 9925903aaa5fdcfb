#include "encoder/MaskUtil.h"

bool TMaskUtil::GetDataMaskBit(int MaskPattern, int X, int Y) {
  const int t = X * Y;
  switch (MaskPattern) {
  case 0:
    return (X + Y) % 2 == 0;
  case 1:
    return Y % 2 == 0;
  case 2:
    return X % 3 == 0;
  case 3:
    return (X + Y) % 3 == 0;
  case 4:
    return ((X / 3) + (Y / 2)) % 2 == 0;
  case 5:
    return (t % 3) + (t % 2) == 0;
  case 6:
    return ((t % 3) + (t % 2)) % 2 == 0;
  case 7:
    return ((t % 3) + ((X + Y) % 2)) % 2 == 0;
  default:
    return false;
  }
}
