// How a code is drawn, whatever the output: the colours, the quiet zone and the frame marks. The
// window builds it from its controls, marbeck-cli from its options; both hand the same value to
// the same routines, so equal settings give equal pictures.
#pragma once

#include <QRgb>

struct TCodeStyle {
  QRgb Dark = qRgb(0, 0, 0);        // dark modules (system colours already resolved)
  QRgb Light = qRgb(255, 255, 255); // light modules and the quiet zone
  int Spacing = 1;                  // the light border in modules, as chosen (the window: 1..9)
  bool Frame = false;               // corner marks on the border's outermost ring
  int MarkLength = 0;               // 0..10: each arm of a mark is MarkLength + 3 modules
  QRgb FrameColor = qRgb(0, 0, 0);

  // The quiet zone handed to the encoder: the spacing, plus one module for the frame marks.
  int QuietZone() const { return Spacing + (Frame ? 1 : 0); }

  bool operator==(const TCodeStyle&) const = default;
};
