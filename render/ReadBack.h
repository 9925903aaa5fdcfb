// Whether a picture of a code scans, and the one verdict every output shows. The read-back takes
// the exact pixels that are shown, saved or printed (colours and frame marks included), turns
// them into grey, and lets zbar look for a QR symbol in them. The verdict adds the colour check:
// zbar still reads yellow on white from clean pixels, a phone camera often does not.
// Safe to call from several threads at once (each call has its own zbar scanner). Needs no
// display and no QGuiApplication.
#pragma once

#include "render/CodeStyle.h"
#include "render/Contrast.h"
#include "text/Message.h"

#include <QImage>
#include <string>
#include <vector>

enum class TReadBackResult {
  Exact,        // one QR symbol found, and its bytes are Expected
  OtherBytes,   // a QR symbol found with other bytes (or more than one symbol found)
  NothingFound, // no QR symbol found (an empty picture included)
};

struct TReadBack {
  TReadBackResult Result = TReadBackResult::NothingFound;
  std::string Bytes; // what the first symbol found carries; empty when nothing was found
};

// Decodes Picture with zbar, QR codes only, in binary mode: the bytes come back as the symbol
// carries them, with no guessing of a character set, and are compared with Expected byte for
// byte. The picture is read as it is: no quiet zone is added, no inverted reading is tried. Like
// any reader, zbar needs enough pixels: in the tests it reads every version from two pixels a
// module on; at one pixel a module, or below two on a nearest-neighbour stretch that makes modules
// of unequal width, it may find nothing in a large symbol.
TReadBack ReadBack(const QImage& Picture, const std::string& Expected);

// What the verdict on one picture found: the first that applies, in this order.
enum class TVerdictKind {
  WeakContrast,       // the ratio of Style.Dark and Style.Light is below MinimumContrast
  Inverted,           // the dark modules are lighter than the light ones
  WeakFinderContrast, // Style.FinderColor against Style.Light is below MinimumContrast
  InvertedFinder,     // Style.FinderColor is lighter than Style.Light
  OtherBytes,         // zbar read a symbol that does not carry Expected (or more than one)
  NothingFound,       // zbar found no symbol
  OutOfMemory,        // the check could not be made: the pictures did not fit in memory
  Borderline, // judged at several sizes (render/Judge.h): read back exactly at some, not at others
  Exact,      // the colours pass and the picture reads back exactly Expected
};

// The verdict on one picture of a code drawn in Style. Callers decide by Kind; Reason is for
// people and may be reworded (a message: English by Text(), translated by the window).
struct TVerdict {
  TVerdictKind Kind = TVerdictKind::NothingFound;
  // Empty when verified, otherwise, by Kind:
  //   WeakContrast        "contrast 1.07 : 1" (shown cut to two decimals, never rounded up, so
  //                       2.996 shows as 2.99)
  //   Inverted            "inverted colours"
  //   WeakFinderContrast  "finder contrast 1.50 : 1"
  //   InvertedFinder      "inverted finder colour"
  //   OtherBytes          "read back other bytes"
  //   NothingFound        "nothing found"
  //   OutOfMemory         "the check ran out of memory"
  //   Borderline          "borderline: nothing found at 96 dpi, nothing found at 150 dpi", whose
  //                       one argument is the list of the failures after "borderline: "
  TMessage Reason;
  bool Verified() const { return Kind == TVerdictKind::Exact; }
};

// The verdict of a check that could not be made for want of memory.
TVerdict OutOfMemoryVerdict();

// The minimum contrast ratio a verified code needs.
inline constexpr double MinimumContrast = 3.0;

// Verified only when the colours pass (ratio at least MinimumContrast, not inverted) AND the
// picture reads back exactly Expected. When the colours fail, the picture is not decoded.
// Style's colours must be resolved values (no system colour).
TVerdict Verify(const QImage& Picture, const std::string& Expected, const TCodeStyle& Style);

// Why Style.FinderColor fails the colour check against Style.Light ("finder contrast 1.50 : 1",
// "inverted finder colour"), or "" (also when no finder colour is set).
TMessage FinderColourReason(const TCodeStyle& Style);

// "contrast 1.07 : 1" for a ratio of 1.0738: two decimals, cut rather than rounded, in the C
// locale whatever the program's locale.
TMessage ContrastReason(double Ratio);
