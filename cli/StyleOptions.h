// The options every marbeck-cli command shares (encoding, level, colours, design, --verify ...):
// declared on a CLI11 command, kept as raw text, then checked into a picture request.
#pragma once

#include "batch/Picture.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <ostream>
#include <sstream>
#include <string>
#include <type_traits>

// The style options every command shares, as raw text until they are checked.
struct TStyleText {
  std::string Encoding = "auto";
  std::string ECLevel = "L";
  bool Boost = false;
  int QuietZone = 4;
  int Scale = 8;
  double MmPerModule = 1.0;
  std::string Dark = "#000000";
  std::string Light = "#ffffff";
  int Frame = -1; // -1: no frame marks
  std::string FrameColor = "#000000";
  std::string Format;
  bool Verify = false;
  std::string Ink = "light";
  TDesignText Design;
  int LogoSize = kDefaultLogoPercent;
};

// A number from Min to Max. Text that is no number, NaN and infinities included, is "not a
// number" rather than out of range.
template <typename T> CLI::Validator NumberIn(T Min, T Max) {
  std::ostringstream Range;
  Range << Min << " to " << Max;
  return CLI::Validator(
      [Min, Max, Bounds = Range.str()](std::string& Text) -> std::string {
        T Value{};
        bool Ok = CLI::detail::lexical_cast(Text, Value);
        if constexpr (std::is_floating_point_v<T>) Ok = Ok && std::isfinite(Value);
        if (!Ok) return "\"" + Text + "\" is not a number";
        if (Value < Min || Value > Max) return Text + " is not in the range " + Bounds;
        return "";
      },
      "in [" + Range.str() + "]");
}

// Declares the shared options on Command, their values going to S.
void AddStyleOptions(CLI::App* Command, TStyleText& S);

// The checked request, or false with a usage error on Err.
bool BuildRequest(const TStyleText& S, TPictureRequest& R, std::ostream& Err);
