// A message for people, kept as a value until it is shown: an English template with %1 ... %9
// and its arguments (each a message itself, or plain text such as a file name or the system's
// error). The floors below the window make messages; the command line prints Text(), the English
// words; the window looks the template up in its translation (context kMessageContext) and fills
// in the same arguments, so one template serves both and no one compares a message's words.
// Templates are written QT_TRANSLATE_NOOP("Messages", "...") where they are made, so that lupdate
// extracts them; below Qt that macro is the text itself, as Qt defines it. Header only, standard
// library only.
#pragma once

#include "text/Utf16.h"

#include <string>
#include <utility>
#include <vector>

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

// The translation context of every message of the floors below the window.
inline constexpr char kMessageContext[] = "Messages";

// Template with %1 ... %9 replaced by Args[0] ... Args[8] in one pass (so that an argument that
// holds "%1" stays as it is); "%" followed by anything else is kept. TText is any string of
// 16-bit units.
template <typename TText>
TText FillTemplate(const TText& Template, const std::vector<TText>& Args) {
  TText Out;
  for (std::size_t I = 0; I < Template.size(); ++I) {
    const auto C = Template[I];
    if (C == u'%' && I + 1 < Template.size() && Template[I + 1] >= u'1' &&
        Template[I + 1] <= u'9') {
      const std::size_t Index = static_cast<std::size_t>(Template[I + 1] - u'1');
      if (Index < Args.size()) {
        Out += Args[Index];
        ++I;
        continue;
      }
    }
    Out += C;
  }
  return Out;
}

// The UTF-16 form of a template: well-formed UTF-8 written in the sources.
inline std::u16string TemplateUtf16(const char* Utf8) {
  std::u16string Out;
  AppendUtf16(Out, Utf8);
  return Out;
}

struct TMessage {
  const char* Template = nullptr; // English, UTF-8, with %1 ... %9; null for plain text
  std::vector<TMessage> Args;     // what %1 ... fill in
  std::u16string Plain;           // the text itself when there is no Template

  bool Empty() const { return Template == nullptr && Plain.empty(); }
  explicit operator bool() const { return !Empty(); }

  // The English words.
  std::u16string Text() const {
    if (Template == nullptr) return Plain;
    std::vector<std::u16string> Filled;
    for (const TMessage& Arg : Args)
      Filled.push_back(Arg.Text());
    return FillTemplate(TemplateUtf16(Template), Filled);
  }
  // The English words as UTF-8, for the command line and the logs.
  std::string Utf8() const {
    std::string Out;
    AppendUtf8(Out, std::u16string_view(Text()));
    return Out;
  }
};

// A message of Template (written QT_TRANSLATE_NOOP("Messages", "...")) and its arguments.
inline TMessage Say(const char* Template, std::vector<TMessage> Args = {}) {
  TMessage M;
  M.Template = Template;
  M.Args = std::move(Args);
  return M;
}
// Plain text, shown as it is in every language: a file name, a number, the system's error.
inline TMessage Plain(std::u16string Text) {
  TMessage M;
  M.Plain = std::move(Text);
  return M;
}
inline TMessage PlainUtf8(const std::string& Bytes) {
  std::u16string Text;
  AppendUtf16(Text, Bytes);
  return Plain(std::move(Text));
}
