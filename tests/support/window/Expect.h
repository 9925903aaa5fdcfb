// Checks shared by the window tests.
#pragma once

#include "encoder/QRCodeSymbol.h"

#include <QImage>
#include <string>

// The symbol the window should have painted: the facade's grid for Data, Encoding and QuietZone.
struct TExpectedSymbol {
  std::u16string Data;
  TQRCodeEncoding Encoding = qrAuto;
  int QuietZone = 1;
};

// Number of pixels of Picture that differ from the symbol's grid painted one pixel per module
// in Dark and Light; -1 when the sizes differ.
int PixelsOffSymbol(const QImage& Picture, const TExpectedSymbol& Symbol, QRgb Dark, QRgb Light);

std::string Utf8(const std::u16string& Text);

// The five grey hint lines of the Text page, each ended by CR LF.
extern const char16_t kHintLines[];
