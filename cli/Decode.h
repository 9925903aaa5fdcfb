// marbeck-cli decode: the codes in picture files read back into the pages' fields. Each file is
// read (PNG, JPEG, BMP, GIF, SVG), every QR code in it found with zbar in binary mode, its bytes
// decoded (UTF-8 when valid, else ISO-8859-1, a UTF-8 mark dropped) and told apart by kind.
#pragma once

#include <ostream>
#include <string>
#include <vector>

enum class TDecodeOutput {
  Payload, // each code's text, followed by a line break
  Json,    // one JSON object a line: file, kind, fields, version, bytes, encoding, payload
  Csv,     // a header, then one row a code in the batch's columns (kind, file, the fields)
};

struct TDecodeOptions {
  std::vector<std::string> Files;
  TDecodeOutput Output = TDecodeOutput::Payload;
};

// The file column of a code read from Path: the file's name without its extension, made a name
// the batch accepts (a leading "." or "-", control characters and a "." that would name another
// format are replaced), "-2", "-3" ... for the second and later codes of one file, and counted on
// when Taken already holds the name. The name is added to Taken.
std::string CsvFileName(const std::string& Path, int CodeIndex, std::vector<std::string>& Taken);

// Writes the codes to Out, one line on Err for each file that cannot be read or holds no code.
// Answers 0 when every file held a code, 1 otherwise (the codes found are written all the same).
int RunDecode(const TDecodeOptions& Options, std::ostream& Out, std::ostream& Err);
