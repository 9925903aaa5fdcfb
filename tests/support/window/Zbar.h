// Reads a QR symbol out of a picture with the zbar decoder, as raw bytes.
#pragma once

#include <QImage>
#include <optional>
#include <string>

// Scales Picture up by Scale (nearest neighbour), puts a white border of 40 pixels round it and
// decodes it. Answers the bytes of the one symbol found, or nothing.
std::optional<std::string> DecodePicture(const QImage& Picture, int Scale = 1);
