// The message hook: the window connects it to a message box, tests capture it.
#pragma once

#include <functional>
#include <string>

using TMessageHook = std::function<void(const std::u16string& Message)>;

// Installs Hook and answers the one it replaces. With no hook, messages go to standard error.
TMessageHook SetMessageHook(TMessageHook Hook);
void ShowMessage(const std::u16string& Message);
