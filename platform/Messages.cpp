#include "platform/Messages.h"

#include "platform/Unicode.h"

#include <cstdio>
#include <utility>

namespace {
TMessageHook& CurrentHook() {
  static TMessageHook Hook;
  return Hook;
}
} // namespace

TMessageHook SetMessageHook(TMessageHook Hook) {
  return std::exchange(CurrentHook(), std::move(Hook));
}

void ShowMessage(const std::u16string& Message) {
  if (const TMessageHook& Hook = CurrentHook()) {
    Hook(Message);
    return;
  }
  const std::string Text = Utf16ToUtf8(Message);
  std::fprintf(stderr, "%s\n", Text.c_str());
}
