#include "encoder/SymbolBuilder.h"

#include "encoder/SegmentRules.h"
#include "encoder/Version.h"

#include <algorithm>
#include <array>

namespace qr {

namespace {

// Accumulates bits most significant first into bytes.
class TBitWriter {
public:
  explicit TBitWriter(std::uint8_t* Out) : FOut(Out) {}

  void Put(std::uint32_t Value, int NumBits) {
    FAcc = (FAcc << NumBits) | (Value & ((std::uint64_t{1} << NumBits) - 1));
    FPending += NumBits;
    FSize += NumBits;
    while (FPending >= 8) {
      FPending -= 8;
      FOut[FBytes++] = static_cast<std::uint8_t>(FAcc >> FPending);
    }
  }
  // Appends whole bytes.
  void PutBytes(const std::uint8_t* Bytes, int Count) {
    if (FPending == 0) {
      std::copy(Bytes, Bytes + Count, FOut + FBytes);
      FBytes += Count;
    } else {
      // Each output byte takes the pending bits and the top of the next input byte.
      const int Keep = FPending;
      std::uint64_t Acc = FAcc;
      for (int I = 0; I < Count; ++I) {
        Acc = (Acc << 8) | Bytes[I];
        FOut[FBytes++] = static_cast<std::uint8_t>(Acc >> Keep);
      }
      FAcc = Acc;
    }
    FSize += 8 * Count;
  }
  // Writes out a partial last byte, padded with 0 bits.
  void Flush() {
    if (FPending > 0) FOut[FBytes++] = static_cast<std::uint8_t>(FAcc << (8 - FPending));
    FPending = 0;
  }
  int Size() const { return FSize; }

private:
  std::uint8_t* FOut;
  std::uint64_t FAcc = 0;
  int FPending = 0;
  int FSize = 0;
  int FBytes = 0;
};

// Per level (L, M, Q, H) and version 1..40: total codewords, data codewords and blocks.
struct TVersionFigures {
  int Total = 0;
  int DataBytes = 0;
  int Blocks = 0;
};

using TFigureTable = std::array<std::array<TVersionFigures, 41>, 4>;

const TFigureTable& VersionFigures() {
  static const TFigureTable Figures = [] {
    TFigureTable F{};
    for (int V = TVersion::MinVersion; V <= TVersion::MaxVersion; ++V) {
      const auto Version = TVersion::GetVersionForNumber(V);
      for (std::size_t Level = 0; Level < 4; ++Level) {
        const TECBlocks& B = Version->GetECBlocks()[Level];
        F[Level][static_cast<std::size_t>(V)] = {
            Version->GetTotalCodewords(), Version->GetTotalCodewords() - B.GetTotalECCodewords(),
            B.GetNumBlocks()};
      }
    }
    return F;
  }();
  return Figures;
}

// TVersion::ChooseVersion on the table: the smallest version whose data codewords at the level
// hold NumInputBits, 0 when none does.
int ChooseVersionNumber(int NumInputBits, std::size_t Level) {
  const int Needed = (NumInputBits + 7) / 8;
  const auto& F = VersionFigures()[Level];
  for (int V = TVersion::MinVersion; V <= TVersion::MaxVersion; ++V)
    if (F[static_cast<std::size_t>(V)].DataBytes >= Needed) return V;
  return 0;
}

int MaxUnits(TMode Mode, std::size_t Level) {
  static const std::array<std::array<int, 10>, 4> Max = [] {
    std::array<std::array<int, 10>, 4> M{};
    for (std::size_t L = 0; L < 4; ++L)
      for (std::size_t I = 0; I < M[L].size(); ++I)
        M[L][I] =
            TSegmentRules::MaxUnitsFor(static_cast<TMode>(I), TVersion::MaxVersion,
                                       TErrorCorrectionLevel::ForOrdinal(static_cast<int>(L)));
    return M;
  }();
  return Mode < Max[Level].size() ? Max[Level][Mode] : 0;
}

} // namespace

// ---- the segment of a text and the symbol of a segment ----

bool CarriesCharacter(TMode Mode, char16_t C) {
  switch (Mode) {
  case qmNumeric:
    return C >= u'0' && C <= u'9';
  case qmAlphanumeric:
    return TSegmentRules::AlphanumericValue(C) >= 0;
  default:
    return false;
  }
}

TSegment MakeSegment(const std::u16string& Text, int EncodingOrdinal) {
  int Options = EncodingOrdinal;
  TSegment S;
  S.Mode = TSegmentRules::SelectMode(Text, Options);
  // The characters the mode and option cannot carry are dropped (TSegmentRules::StripUnencodable)
  // on the way.
  if (S.Mode == qmByte) {
    if (Options == qrISO88591) {
      S.Bits.resize(Text.size());
      std::size_t N = 0;
      for (const char16_t C : Text)
        if (C <= 0xFF) S.Bits[N++] = static_cast<std::uint8_t>(C);
      S.Bits.resize(N);
    } else if (Options == qrUTF8NoBOM || Options == qrUTF8BOM || Options == qrUTF8ECI) {
      S.Bits = TSegmentRules::ByteSegmentBytes(Text, Options); // these options keep every character
    }
    S.Eci = TSegmentRules::EciAssignment(Options);
    S.NumLetters = static_cast<int>(S.Bits.size());
    S.NumBits = 8 * S.NumLetters;
    return S;
  }
  S.Bits.resize(Text.size() + 1);
  TBitWriter W(S.Bits.data());
  if (S.Mode == qmNumeric) {
    // Groups of three digits in 10 bits, a final pair in 7, a final digit in 4.
    std::uint32_t Group = 0;
    int InGroup = 0;
    for (const char16_t C : Text) {
      if (!CarriesCharacter(qmNumeric, C)) continue;
      ++S.NumLetters;
      Group = Group * 10 + (C - 48u);
      if (++InGroup == 3) {
        W.Put(Group, 10);
        Group = 0;
        InGroup = 0;
      }
    }
    if (InGroup > 0) W.Put(Group, InGroup == 2 ? 7 : 4);
  } else if (S.Mode == qmAlphanumeric) {
    // Pairs in 11 bits, a final character in 6.
    std::uint32_t Pair = 0;
    bool Half = false;
    for (const char16_t C : Text) {
      const int A = TSegmentRules::AlphanumericValue(C);
      if (A < 0) continue;
      ++S.NumLetters;
      if (Half)
        W.Put(Pair * 45 + static_cast<std::uint32_t>(A), 11);
      else
        Pair = static_cast<std::uint32_t>(A);
      Half = !Half;
    }
    if (Half) W.Put(Pair, 6);
  }
  W.Flush();
  S.NumBits = W.Size();
  S.Bits.resize(static_cast<std::size_t>((S.NumBits + 7) / 8));
  return S;
}

void BuildSymbol(const TSegment& Segment, TSymbol& Out, TQRCodeECLevel Level, bool Boost) {
  Out = TSymbol{};
  const auto Requested = static_cast<std::size_t>(Level & 3);
  Out.NeededUnits = Segment.NumLetters;
  Out.Units = Segment.Mode == qmNumeric        ? cuDigits
              : Segment.Mode == qmAlphanumeric ? cuCharacters
                                               : cuBytes;
  // The ECI header, when there is one, goes before the segment's mode indicator (7.4.2).
  int EciBits = 0;
  const std::uint32_t EciHeader = TSegmentRules::EciHeader(Segment.Eci, EciBits);
  Out.MaxUnits = EciBits == 0
                     ? MaxUnits(Segment.Mode, Requested)
                     : TSegmentRules::MaxUnitsFor(
                           Segment.Mode, TVersion::MaxVersion,
                           TErrorCorrectionLevel::ForOrdinal(static_cast<int>(Requested)), EciBits);
  Out.Level = static_cast<TQRCodeECLevel>(Requested);

  // The version in two passes, as the driver chooses it: first with the narrowest count
  // field, then with the field of that first choice.
  const int HeaderBits = EciBits + 4;
  int VersionNum = ChooseVersionNumber(
      TSegmentRules::CharCountWidth(Segment.Mode, 1) + HeaderBits + Segment.NumBits, Requested);
  if (VersionNum > 0)
    VersionNum = ChooseVersionNumber(TSegmentRules::CharCountWidth(Segment.Mode, VersionNum) +
                                         HeaderBits + Segment.NumBits,
                                     Requested);
  if (VersionNum == 0) {
    Out.DataTooLong = true;
    return;
  }
  // Boost: the strongest level whose data codewords in the same version still hold the bits.
  std::size_t Used = Requested;
  if (Boost) {
    const int NeededBits =
        TSegmentRules::CharCountWidth(Segment.Mode, VersionNum) + HeaderBits + Segment.NumBits;
    for (std::size_t Higher = Requested + 1; Higher < 4; ++Higher)
      if (8 * VersionFigures()[Higher][static_cast<std::size_t>(VersionNum)].DataBytes >=
          NeededBits)
        Used = Higher;
  }
  Out.Level = static_cast<TQRCodeECLevel>(Used);
  const TVersionFigures& Figures = VersionFigures()[Used][static_cast<std::size_t>(VersionNum)];

  // Mode indicator, character count, data, terminator, byte alignment and pad codewords.
  std::array<std::uint8_t, MaxCodewords> Data{};
  std::array<std::uint8_t, MaxCodewords> Codewords{};
  const int Capacity = 8 * Figures.DataBytes;
  TBitWriter W(Data.data());
  if (EciBits > 0) W.Put(EciHeader, EciBits);
  W.Put(static_cast<std::uint32_t>(TSegmentRules::ModeIndicatorBits(Segment.Mode)), 4);
  const int Width = TSegmentRules::CharCountWidth(Segment.Mode, VersionNum);
  if (Segment.NumLetters <= (1 << Width) - 1)
    W.Put(static_cast<std::uint32_t>(Segment.NumLetters), Width);
  const int FullBytes = Segment.NumBits / 8;
  W.PutBytes(Segment.Bits.data(), FullBytes);
  if (const int Rest = Segment.NumBits % 8; Rest > 0)
    W.Put(
        static_cast<std::uint32_t>(Segment.Bits[static_cast<std::size_t>(FullBytes)] >> (8 - Rest)),
        Rest);
  bool Complete = W.Size() <= Capacity;
  if (Complete) {
    W.Put(0, std::min(4, Capacity - W.Size()));
    if (W.Size() % 8 != 0) W.Put(0, 8 - W.Size() % 8);
    for (int I = W.Size() / 8, Pad = 0; I < Figures.DataBytes; ++I, ++Pad)
      Data[static_cast<std::size_t>(I)] = (Pad & 1) == 0 ? 0xEC : 0x11;
    Complete = InterleaveWithEC(Data.data(), Figures.Total, Figures.DataBytes, Figures.Blocks,
                                Codewords.data());
  }
  if (!Complete) Codewords.fill(0); // as the driver: no codewords, every data cell shows its mask

  const TMaskTrials Trials(VersionNum, Codewords.data(), static_cast<int>(Used));
  const int Mask = Trials.ChooseMask();
  TBitGrid Rows;
  TBitGrid Cols;
  Trials.Build(Mask, Rows, Cols);

  const int N = Rows.Side;
  Out.Version = VersionNum;
  Out.MaskPattern = Mask;
  Out.Side = N;
  Out.PackedRows.resize(static_cast<std::size_t>(N) * LineWords);
  for (int Y = 0; Y < N; ++Y)
    std::copy(Rows.Lines[static_cast<std::size_t>(Y)].begin(),
              Rows.Lines[static_cast<std::size_t>(Y)].end(),
              Out.PackedRows.begin() + static_cast<std::ptrdiff_t>(Y) * LineWords);
}

} // namespace qr
