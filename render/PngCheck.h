// Whether PNG bytes decode whole, asked of libpng itself before Qt reads them: Qt's PNG reader
// leaves libpng's errors to libpng, which prints them on standard error ("libpng error: Read
// Error") in a line of its own. Here the reason comes back as text, for the program's message.
#pragma once

#include <QByteArray>
#include <string>

// Whether Bytes start with the PNG signature.
bool IsPng(const QByteArray& Bytes);
// "" when Bytes decode as a whole PNG, otherwise libpng's reason ("Read Error", "IDAT: CRC
// error" ...). Decodes every row (one grey byte a pixel): check a picture's claimed size first.
std::string PngDamage(const QByteArray& Bytes);
