#include "render/SymbolRead.h"

#include "encoder/FunctionLayer.h"
#include "encoder/MaskUtil.h"
#include "encoder/Version.h"
#include "platform/Unicode.h"

#include <algorithm>
#include <cmath>

namespace {

// Reads the stream MSB first; every read past the end answers nothing.
class TBitReader {
public:
  explicit TBitReader(const std::vector<std::uint8_t>& Bytes) : FBytes(Bytes) {}
  std::size_t Left() const { return FBytes.size() * 8 - FPos; }
  std::optional<std::uint32_t> Read(int Count) {
    if (static_cast<std::size_t>(Count) > Left()) return std::nullopt;
    std::uint32_t Value = 0;
    for (int I = 0; I < Count; ++I, ++FPos)
      Value = (Value << 1) | ((FBytes[FPos / 8] >> (7 - FPos % 8)) & 1u);
    return Value;
  }

private:
  const std::vector<std::uint8_t>& FBytes;
  std::size_t FPos = 0;
};

// Character-count widths (ISO/IEC 18004 Table 3) of numeric, alphanumeric, byte and kanji mode.
int CountWidth(int Mode, int Version) {
  const int Range = Version <= 9 ? 0 : Version <= 26 ? 1 : 2;
  static constexpr int Widths[4][3] = {{10, 12, 14}, {9, 11, 13}, {8, 16, 16}, {8, 10, 12}};
  return Widths[Mode][Range];
}

constexpr char kAlphanumeric[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

} // namespace

std::optional<TSegmentsRead> ReadSegments(const std::vector<std::uint8_t>& DataCodewords,
                                          int Version) {
  if (Version < 1 || Version > 40) return std::nullopt;
  TSegmentsRead Out;
  bool Convertible = true;
  TBitReader In(DataCodewords);
  int Current = -1;
  bool ByteSeen = false;
  while (In.Left() >= 4) {
    const std::uint32_t Mode = *In.Read(4);
    if (Mode == 0) break; // the terminator
    switch (Mode) {
    case 0x7: { // ECI: 8, 16 or 24 bits by the leading bits (Table 4)
      const std::optional<std::uint32_t> First = In.Read(8);
      if (!First) return std::nullopt;
      std::uint32_t Value = *First;
      if ((Value & 0x80) == 0) {
      } else if ((Value & 0xC0) == 0x80) {
        const auto Next = In.Read(8);
        if (!Next) return std::nullopt;
        Value = ((Value & 0x3F) << 8) | *Next;
      } else if ((Value & 0xE0) == 0xC0) {
        const auto Next = In.Read(16);
        if (!Next) return std::nullopt;
        Value = ((Value & 0x1F) << 16) | *Next;
        if (Value > 999999) return std::nullopt;
      } else {
        return std::nullopt;
      }
      Current = static_cast<int>(Value);
      Out.Ecis.push_back(Current);
      break;
    }
    case 0x3: // structured append: position, total and parity
      if (!In.Read(16)) return std::nullopt;
      break;
    case 0x5: // FNC1 in the first position
      break;
    case 0x9: // FNC1 in the second position: the application indicator
      if (!In.Read(8)) return std::nullopt;
      break;
    case 0x1: { // numeric: three digits in 10 bits, two in 7, one in 4
      const auto Count = In.Read(CountWidth(0, Version));
      if (!Count) return std::nullopt;
      for (std::uint32_t Left = *Count; Left > 0;) {
        const std::uint32_t Digits = std::min<std::uint32_t>(Left, 3);
        const auto Value = In.Read(Digits == 3 ? 10 : Digits == 2 ? 7 : 4);
        if (!Value || *Value >= (Digits == 3 ? 1000u : Digits == 2 ? 100u : 10u))
          return std::nullopt;
        std::string Group = std::to_string(*Value);
        Group = std::string(Digits - Group.size(), '0') + Group;
        Out.Bytes += Group;
        Out.Utf8 += Group;
        Left -= Digits;
      }
      break;
    }
    case 0x2: { // alphanumeric: two characters in 11 bits, one in 6
      const auto Count = In.Read(CountWidth(1, Version));
      if (!Count) return std::nullopt;
      for (std::uint32_t Left = *Count; Left > 0;) {
        const bool Pair = Left >= 2;
        const auto Value = In.Read(Pair ? 11 : 6);
        if (!Value || *Value >= (Pair ? 45u * 45u : 45u)) return std::nullopt;
        const std::string Chars =
            Pair ? std::string{kAlphanumeric[*Value / 45], kAlphanumeric[*Value % 45]}
                 : std::string(1, kAlphanumeric[*Value % 45]);
        Out.Bytes += Chars;
        Out.Utf8 += Chars;
        Left -= Pair ? 2 : 1;
      }
      break;
    }
    case 0x4: { // byte
      const auto Count = In.Read(CountWidth(2, Version));
      if (!Count) return std::nullopt;
      if (!ByteSeen) Out.Eci = Current;
      ByteSeen = true;
      std::string Segment;
      for (std::uint32_t I = 0; I < *Count; ++I) {
        const auto Byte = In.Read(8);
        if (!Byte) return std::nullopt;
        Segment += static_cast<char>(*Byte);
      }
      Out.Bytes += Segment;
      if (Current < 0) {
        Out.Utf8 += Segment;
      } else if (const std::optional<std::u16string> Text = DecodeEciBytes(Segment, Current)) {
        Out.Utf8 += Utf16ToUtf8(*Text);
      } else {
        Convertible = false;
      }
      break;
    }
    case 0x8: { // kanji: 13 bits a character, given back as its Shift JIS bytes (clause 7.4.6)
      const auto Count = In.Read(CountWidth(3, Version));
      if (!Count) return std::nullopt;
      for (std::uint32_t I = 0; I < *Count; ++I) {
        const auto Value = In.Read(13);
        if (!Value) return std::nullopt;
        std::uint32_t Code = ((*Value / 0xC0) << 8) | (*Value % 0xC0);
        Code += Code < 0x1F00 ? 0x8140 : 0xC140;
        const std::string Pair = {static_cast<char>(Code >> 8), static_cast<char>(Code & 0xFF)};
        Out.Bytes += Pair;
        // zbar gives kanji as UTF-8 whatever the designator says.
        if (const std::optional<std::u16string> Text = DecodeEciBytes(Pair, 20))
          Out.Utf8 += Utf16ToUtf8(*Text);
        else
          Convertible = false;
      }
      break;
    }
    default:
      return std::nullopt;
    }
  }
  if (!ByteSeen) Out.Eci = Current;
  if (!Convertible) Out.Utf8.clear();
  return Out;
}

int GreyAtModule(const std::vector<unsigned char>& Grey, int Width, int Height, const QPointF* C,
                 int N, int Row, int Column) {
  const double U = (Column + 0.5) / N;
  const double V = (Row + 0.5) / N;
  const QPointF P =
      (1 - U) * (1 - V) * C[0] + U * (1 - V) * C[1] + U * V * C[2] + (1 - U) * V * C[3];
  const int X = static_cast<int>(std::floor(P.x()));
  const int Y = static_cast<int>(std::floor(P.y()));
  if (X < 0 || Y < 0 || X >= Width || Y >= Height) return -1;
  return Grey[static_cast<std::size_t>(Y) * static_cast<std::size_t>(Width) +
              static_cast<std::size_t>(X)];
}

std::optional<std::vector<std::uint8_t>> SampleDataCodewords(const std::vector<unsigned char>& Grey,
                                                             int Width, int Height,
                                                             const QPolygonF& Where, int Version) {
  const std::unique_ptr<TVersion> Info = TVersion::GetVersionForNumber(Version);
  if (!Info || Where.size() != 4) return std::nullopt;
  const int N = Info->GetDimensionForVersion();
  // The 32 function layers (four levels, eight masks): the one that matches the sampled modules
  // best gives the orientation, the level and the mask.
  std::vector<TByteMatrix> Layers;
  for (int Level = 0; Level < 4; ++Level)
    for (int Mask = 0; Mask < 8; ++Mask) {
      Layers.emplace_back(N, N);
      TFunctionLayer().BuildFunctionLayer(TErrorCorrectionLevel(Level), Version, Mask,
                                          Layers.back());
    }
  int BestWrong = -1, BestLayer = 0;
  std::vector<std::uint8_t> Best;
  for (int First = 0; First < 4; ++First) {
    for (const int Step : {1, 3}) {
      QPointF Corners[4]; // top-left, top-right, bottom-right, bottom-left
      for (int K = 0; K < 4; ++K)
        Corners[K] = Where[(First + Step * K) % 4];
      std::vector<int> Levels(static_cast<std::size_t>(N * N));
      double Mean = 0;
      for (int Y = 0; Y < N; ++Y)
        for (int X = 0; X < N; ++X) {
          const int Level = GreyAtModule(Grey, Width, Height, Corners, N, Y, X);
          if (Level < 0) return std::nullopt;
          Levels[static_cast<std::size_t>(Y * N + X)] = Level;
          Mean += Level;
        }
      Mean /= N * N;
      std::vector<std::uint8_t> Dark(Levels.size());
      for (std::size_t I = 0; I < Levels.size(); ++I)
        Dark[I] = Levels[I] < Mean ? 1 : 0;
      for (std::size_t L = 0; L < Layers.size(); ++L) {
        int Wrong = 0;
        for (int Y = 0; Y < N; ++Y)
          for (int X = 0; X < N; ++X) {
            const int Cell = Layers[L].Get(X, Y);
            Wrong += Cell >= 0 && Cell != Dark[static_cast<std::size_t>(Y * N + X)];
          }
        if (BestWrong < 0 || Wrong < BestWrong) {
          BestWrong = Wrong;
          BestLayer = static_cast<int>(L);
          Best = Dark;
        }
      }
    }
  }
  // A clean picture matches all but a few function cells; a guess matches far fewer.
  if (BestWrong < 0 || BestWrong > N) return std::nullopt;
  const TByteMatrix& Layer = Layers[static_cast<std::size_t>(BestLayer)];
  const int Mask = BestLayer % 8;
  // The data cells in placement order (clause 7.7.3): column pairs from the right, upwards and
  // downwards in turn, the vertical timing column skipped; unmasked (clause 7.8).
  std::vector<std::uint8_t> Codewords(static_cast<std::size_t>(Info->GetTotalCodewords()));
  std::size_t Bit = 0;
  bool Upward = true;
  for (int Right = N - 1; Right >= 1; Right -= 2) {
    if (Right == 6) Right = 5;
    for (int I = 0; I < N; ++I) {
      const int Y = Upward ? N - 1 - I : I;
      for (int X = Right; X >= Right - 1; --X) {
        if (Layer.Get(X, Y) >= 0 || Bit >= Codewords.size() * 8) continue;
        const bool On = (Best[static_cast<std::size_t>(Y * N + X)] != 0) !=
                        TMaskUtil::GetDataMaskBit(Mask, X, Y);
        if (On) Codewords[Bit / 8] |= static_cast<std::uint8_t>(0x80 >> (Bit % 8));
        ++Bit;
      }
    }
    Upward = !Upward;
  }
  // The data codewords out of their blocks (clause 7.6): interleaved a codeword of each block at
  // a time, the longer blocks last.
  const TECBlocks& Blocks = Info->GetECBlocksForLevel(TErrorCorrectionLevel(BestLayer / 8));
  std::vector<int> Lengths;
  for (const TECB& Group : Blocks.GetECBlocks())
    for (int K = 0; K < Group.Count; ++K)
      Lengths.push_back(Group.DataCodewords);
  std::vector<std::vector<std::uint8_t>> Data(Lengths.size());
  std::size_t Next = 0;
  const int Longest = *std::max_element(Lengths.begin(), Lengths.end());
  for (int I = 0; I < Longest; ++I)
    for (std::size_t B = 0; B < Lengths.size(); ++B)
      if (I < Lengths[B]) Data[B].push_back(Codewords[Next++]);
  std::vector<std::uint8_t> Out;
  for (const std::vector<std::uint8_t>& Block : Data)
    Out.insert(Out.end(), Block.begin(), Block.end());
  return Out;
}

std::optional<TSegmentsRead> ReadSymbolSegments(const std::vector<unsigned char>& Grey, int Width,
                                                int Height, const QPolygonF& Where, int Version,
                                                const std::string& Bytes) {
  const auto Codewords = SampleDataCodewords(Grey, Width, Height, Where, Version);
  if (!Codewords) return std::nullopt;
  std::optional<TSegmentsRead> Read = ReadSegments(*Codewords, Version);
  if (!Read || (Read->Bytes != Bytes && (Read->Utf8.empty() || Read->Utf8 != Bytes)))
    return std::nullopt;
  return Read;
}
