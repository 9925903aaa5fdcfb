#include "encoder/MaskUtil.h"

bool TMaskUtil::GetDataMaskBit(int MaskPattern, int X, int Y) {
  const int Product = X * Y;
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
    return (Product % 3) + (Product % 2) == 0;
  case 6:
    return ((Product % 3) + (Product % 2)) % 2 == 0;
  case 7:
    return ((Product % 3) + ((X + Y) % 2)) % 2 == 0;
  default:
    return false;
  }
}
