// The render library must work where marbeck-cli runs: no display, no Qt platform chosen, no
// QGuiApplication. This test program clears both variables before main, so every case here runs
// in exactly those conditions whatever the calling shell had set.
#include <cstdlib>

namespace {

const bool DisplayCleared = [] {
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("QT_QPA_PLATFORM");
  return true;
}();

} // namespace
