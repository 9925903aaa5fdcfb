// The three peer encoders, each driven through its public API only, on the race's terms:
// the level asked for (0..3 for L, M, Q, H; never raised), automatic version (1-40), the
// library's own automatic mask choice, no ECI, and one segment in the workload's mode where the
// library lets the caller say so.
//
// Every encode function takes the workload, builds the symbol and hands each module of the
// finished grid to Visit(row, column, dark), row by row; it returns the version and side, or
// Version 0 when the library refused the input.
#pragma once

#include "support/Workloads.h"

#include <cstdint>
#include <qrcodegen.hpp>
#include <qrencode.h>
#include <vector>
#include <zint.h>

namespace marbeck_bench {

// libqrencode: one QRinput entry in the workload's mode; version 0 lets it choose.
template <class TVisit>
TGridShape EncodeLibqrencode(const TWorkload& W, int Level, TVisit&& Visit) {
  static constexpr QRecLevel Levels[] = {QR_ECLEVEL_L, QR_ECLEVEL_M, QR_ECLEVEL_Q, QR_ECLEVEL_H};
  QRencodeMode Mode = QR_MODE_8;
  if (W.Mode == TSegmentMode::Numeric) Mode = QR_MODE_NUM;
  if (W.Mode == TSegmentMode::Alphanumeric) Mode = QR_MODE_AN;
  TGridShape Shape;
  QRinput* Input = QRinput_new2(0, Levels[Level & 3]);
  if (Input == nullptr) return Shape;
  if (QRinput_append(Input, Mode, static_cast<int>(W.Bytes.size()),
                     reinterpret_cast<const unsigned char*>(W.Bytes.data())) == 0) {
    if (QRcode* Code = QRcode_encodeInput(Input)) {
      Shape.Version = Code->version;
      Shape.Side = Code->width;
      const unsigned char* Cell = Code->data;
      for (int r = 0; r < Code->width; ++r)
        for (int c = 0; c < Code->width; ++c)
          Visit(r, c, (*Cell++ & 1) != 0);
      QRcode_free(Code);
    }
  }
  QRinput_free(Input);
  return Shape;
}

// Nayuki's qrcodegen: one segment from the matching factory, encodeSegments(level, 1..40,
// mask -1, no boost of the level).
template <class TVisit> TGridShape EncodeQrcodegen(const TWorkload& W, int Level, TVisit&& Visit) {
  using qrcodegen::QrCode;
  using qrcodegen::QrSegment;
  static constexpr QrCode::Ecc Levels[] = {QrCode::Ecc::LOW, QrCode::Ecc::MEDIUM,
                                           QrCode::Ecc::QUARTILE, QrCode::Ecc::HIGH};
  std::vector<QrSegment> Segs;
  switch (W.Mode) {
  case TSegmentMode::Numeric:
    Segs.push_back(QrSegment::makeNumeric(W.Bytes.c_str()));
    break;
  case TSegmentMode::Alphanumeric:
    Segs.push_back(QrSegment::makeAlphanumeric(W.Bytes.c_str()));
    break;
  case TSegmentMode::Byte:
    Segs.push_back(QrSegment::makeBytes(std::vector<std::uint8_t>(W.Bytes.begin(), W.Bytes.end())));
    break;
  }
  TGridShape Shape;
  try {
    const QrCode Code = QrCode::encodeSegments(Segs, Levels[Level & 3], 1, 40, -1, false);
    Shape.Version = Code.getVersion();
    Shape.Side = Code.getSize();
    for (int r = 0; r < Shape.Side; ++r)
      for (int c = 0; c < Shape.Side; ++c)
        Visit(r, c, Code.getModule(c, r));
  } catch (const std::exception&) {
    Shape = TGridShape{};
  }
  return Shape;
}

// Zint: BARCODE_QRCODE, option_1 = 1..4 (level L, M, Q, H), DATA_MODE (raw bytes, no ECI), module
// matrix only (ZBarcode_Encode, no rendering). Zint has no switch to force a segment mode; it picks
// its own segmentation, which for these inputs lands on the same version (checked before timing).
template <class TVisit> TGridShape EncodeZint(const TWorkload& W, int Level, TVisit&& Visit) {
  TGridShape Shape;
  zint_symbol* Symbol = ZBarcode_Create();
  if (Symbol == nullptr) return Shape;
  Symbol->symbology = BARCODE_QRCODE;
  Symbol->option_1 = 1 + (Level & 3);
  Symbol->input_mode = DATA_MODE;
  const int Rc = ZBarcode_Encode(Symbol, reinterpret_cast<const unsigned char*>(W.Bytes.data()),
                                 static_cast<int>(W.Bytes.size()));
  if (Rc < ZINT_ERROR && Symbol->width == Symbol->rows && Symbol->width >= 21) {
    Shape.Side = Symbol->width;
    Shape.Version = (Symbol->width - 17) / 4;
    for (int r = 0; r < Shape.Side; ++r) {
      const unsigned char* Row = Symbol->encoded_data[r];
      for (int c = 0; c < Shape.Side; ++c)
        Visit(r, c, ((Row[c >> 3] >> (c & 7)) & 1) != 0);
    }
  }
  ZBarcode_Delete(Symbol);
  return Shape;
}

} // namespace marbeck_bench
