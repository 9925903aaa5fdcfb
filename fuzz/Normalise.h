// What a text becomes on its way through a file, independent of the code under test: line breaks
// become CR LF (the memos and the readers both do this), and a file in UTF-8 or Windows-1252 cannot
// carry an unpaired surrogate, which comes back as U+FFFD.
#pragma once

#include "platform/TextFile.h"
#include "text/Utf16.h"

#include <string>

inline std::u16string UnifiedBreaks(const std::u16string& T) {
  std::u16string Out;
  for (std::size_t I = 0; I < T.size(); ++I) {
    if (T[I] == u'\r' || T[I] == u'\n') {
      Out += u"\r\n";
      if (T[I] == u'\r' && I + 1 < T.size() && T[I + 1] == u'\n') ++I;
    } else {
      Out += T[I];
    }
  }
  return Out;
}

inline std::u16string WithoutLoneSurrogates(const std::u16string& T) {
  std::u16string Out;
  for (std::size_t I = 0; I < T.size(); ++I) {
    const char16_t C = T[I];
    if (IsHighSurrogate(C) && I + 1 < T.size() && IsLowSurrogate(T[I + 1])) {
      Out += C;
      Out += T[++I];
    } else if (IsSurrogate(C)) {
      Out += u'\uFFFD';
    } else {
      Out += C;
    }
  }
  return Out;
}

// The text as a file written in Encoding gives it back.
inline std::u16string AsStored(const std::u16string& T, TTextEncoding Encoding) {
  const bool Utf16 = Encoding == TTextEncoding::teUTF16LE || Encoding == TTextEncoding::teUTF16BE;
  return Utf16 ? T : WithoutLoneSurrogates(T);
}

inline std::u16string WithoutBreaks(const std::u16string& T) {
  std::u16string Out;
  for (const char16_t C : T)
    if (C != u'\r' && C != u'\n') Out += C;
  return Out;
}

inline bool OnlyCRLFBreaks(const std::u16string& T) {
  for (std::size_t I = 0; I < T.size(); ++I) {
    if (T[I] == u'\r' && (I + 1 >= T.size() || T[I + 1] != u'\n')) return false;
    if (T[I] == u'\n' && (I == 0 || T[I - 1] != u'\r')) return false;
  }
  return true;
}

inline TTextEncoding PickEncoding(unsigned Ordinal) {
  return static_cast<TTextEncoding>(Ordinal % 5);
}
