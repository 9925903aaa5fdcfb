// How a code is drawn, whatever the output: the colours, the quiet zone and the frame marks. The
// window builds it from its controls, marbeck-cli from its options; both hand the same value to
// the same routines, so equal settings give equal pictures.
#pragma once

#include <QRgb>

struct TCodeStyle {
  QRgb Dark = qRgb(0, 0, 0);        // dark modules (system colours already resolved)
  QRgb Light = qRgb(255, 255, 255); // light modules and the quiet zone
  int QuietZone = 1;  // the quiet zone in modules, as chosen (the window's "Spacing": 1..9)
  bool Frame = false; // corner marks on the quiet zone's outermost ring
  int MarkLength = 0; // 0..10: each arm of a mark is MarkLength + 3 modules
  QRgb FrameColor = qRgb(0, 0, 0);

  // The quiet zone handed to the encoder: the chosen one, plus one module for the frame marks.
  int QuietZoneWithFrame() const { return QuietZone + (Frame ? 1 : 0); }

  bool operator==(const TCodeStyle&) const = default;
};
