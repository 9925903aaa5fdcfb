// The six race workloads: fixed texts and fixed-seed generated inputs, identical on every
// machine (the generator is a plain splitmix64, not a library distribution). Shared by the
// benchmark program and by the grid fingerprint test, so both see exactly the same bytes.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace marbeck_bench {

// The single segment mode every encoder is told to use for a workload.
enum class TSegmentMode { Numeric, Alphanumeric, Byte };

struct TWorkload {
  std::string Name; // short label used in benchmark names and the table
  TSegmentMode Mode;
  std::string Bytes; // the payload; for Byte every char is one byte (all < 0x80 here)
};

// What an encode run handed out: the version, and the grid it passed to the visitor.
struct TGridShape {
  int Version = 0;
  int Side = 0;   // modules per row of the grid handed to the visitor
  int Offset = 0; // light border in front of the symbol (the quiet zone, if the encoder adds one)
};

namespace detail {

class TSplitMix64 {
public:
  explicit TSplitMix64(std::uint64_t Seed) : FState(Seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (FState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

private:
  std::uint64_t FState;
};

inline std::string RandomFrom(const std::string& Alphabet, std::size_t Length, std::uint64_t Seed) {
  TSplitMix64 Rng(Seed);
  std::string Out;
  Out.reserve(Length);
  for (std::size_t i = 0; i < Length; ++i)
    Out.push_back(Alphabet[static_cast<std::size_t>(Rng.Next() % Alphabet.size())]);
  return Out;
}

inline std::string PrintableAscii() {
  std::string s;
  for (char c = 0x20; c <= 0x7E; ++c)
    s.push_back(c);
  return s;
}

} // namespace detail

inline const std::string& AlphanumericSet() {
  static const std::string Set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
  return Set;
}

// Built once; the sizes are checked so a careless edit cannot silently change a workload.
inline const std::vector<TWorkload>& Workloads() {
  static const std::vector<TWorkload> All = [] {
    std::vector<TWorkload> w;
    w.push_back({"url", TSegmentMode::Byte, "https://example.org/some/path?query=12345"});
    w.push_back({"vcard", TSegmentMode::Byte,
                 "BEGIN:VCARD\r\n"
                 "VERSION:4.0\r\n"
                 "N:Lindqvist;Maren;;;\r\n"
                 "FN:Maren Lindqvist\r\n"
                 "ORG:Marbeck Instruments\r\n"
                 "TEL;TYPE=work:+49 30 1234567\r\n"
                 "EMAIL;TYPE=work:maren@example.org\r\n"
                 "ADR;TYPE=work:;;Hauptstr. 1;Berlin;;10115;DE\r\n"
                 "BDAY:19840312\r\n"
                 "END:VCARD\r\n"});
    w.push_back(
        {"text1000", TSegmentMode::Byte, detail::RandomFrom(detail::PrintableAscii(), 1000, 1000)});
    w.push_back({"bytes2953", TSegmentMode::Byte,
                 detail::RandomFrom(detail::PrintableAscii(), 2953, 2953)});
    w.push_back(
        {"digits7089", TSegmentMode::Numeric, detail::RandomFrom("0123456789", 7089, 7089)});
    w.push_back({"alnum4296", TSegmentMode::Alphanumeric,
                 detail::RandomFrom(AlphanumericSet(), 4296, 4296)});

    const std::size_t Expected[] = {41, 230, 1000, 2953, 7089, 4296};
    for (std::size_t i = 0; i < w.size(); ++i)
      if (w[i].Bytes.size() != Expected[i])
        throw std::logic_error("workload " + w[i].Name + " has the wrong length");
    return w;
  }();
  return All;
}

// The payload as the UTF-16 text the facade takes (every byte here is below 0x80).
inline std::u16string ToUtf16(const std::string& Bytes) {
  std::u16string s;
  s.reserve(Bytes.size());
  for (unsigned char c : Bytes)
    s.push_back(static_cast<char16_t>(c));
  return s;
}

} // namespace marbeck_bench
