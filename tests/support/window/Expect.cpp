#include "support/window/Expect.h"

#include <QString>

int PixelsOffSymbol(const QImage& Picture, const TExpectedSymbol& Expected, QRgb Dark, QRgb Light) {
  TQRCodeSymbol Symbol;
  Symbol.SetData(Expected.Data);
  Symbol.SetEncoding(Expected.Encoding);
  Symbol.SetQuietZone(Expected.QuietZone);
  if (Picture.width() != Symbol.Columns() || Picture.height() != Symbol.Rows()) return -1;
  int Off = 0;
  for (int Row = 0; Row < Symbol.Rows(); ++Row)
    for (int Column = 0; Column < Symbol.Columns(); ++Column)
      if (qRgb(qRed(Picture.pixel(Column, Row)), qGreen(Picture.pixel(Column, Row)),
               qBlue(Picture.pixel(Column, Row))) != (Symbol.IsDark(Row, Column) ? Dark : Light))
        ++Off;
  return Off;
}

std::string Utf8(const std::u16string& Text) {
  return QString::fromStdU16String(Text).toStdString();
}

const char16_t kHintLines[] = u"Please type your text here.\r\n"
                              u"\r\n"
                              u"- Then click button [Generate QR-Code]\r\n"
                              u"- Try the code with your smartphone directly on the screen\r\n"
                              u"- Finally click on  [Copy to Clipboard] and paste the QR-Code "
                              u"(bitmap) where ever you like\r\n";
