// The place of the preview picture: the centring of the picture in the panel. The picture itself
// is drawn by render/ (render/Raster.h).
#pragma once

#include <QPoint>

// n / 2 rounded to the nearest integer, a half going to the even neighbour (n >= 0).
int HalfRoundedToEven(int N);

// Top-left corner of a W x W picture centred in a panel of PanelWidth x PanelHeight.
QPoint CentredPlace(int PanelWidth, int PanelHeight, int W);
