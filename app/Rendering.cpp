#include "Rendering.h"

int HalfRoundedToEven(int N) {
  const int Quotient = N / 2;
  if (N % 2 == 0) return Quotient;
  return Quotient % 2 == 0 ? Quotient : Quotient + 1;
}

QPoint CentredPlace(int PanelWidth, int PanelHeight, int W) {
  const int Half = HalfRoundedToEven(W);
  return QPoint(HalfRoundedToEven(PanelWidth) - Half, HalfRoundedToEven(PanelHeight) - Half);
}
