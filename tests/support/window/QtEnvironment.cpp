// One QApplication for the whole test program, on the offscreen platform unless the caller chose
// another, with the settings folder pointed away from the user's own before anything reads it.
#include "ApplicationFont.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TQtEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    FSettings = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(FSettings->isValid());
    qputenv("XDG_CONFIG_HOME", FSettings->path().toUtf8());
    static int Argc = 1;
    static char Name[] = "app_window_test";
    static char* Argv[] = {Name, nullptr};
    FApplication = std::make_unique<QApplication>(Argc, Argv);
    QApplication::setFont(WindowFont());
  }
  void TearDown() override {
    FApplication.reset();
    FSettings.reset();
  }

private:
  std::unique_ptr<QTemporaryDir> FSettings;
  std::unique_ptr<QApplication> FApplication;
};

[[maybe_unused]] ::testing::Environment* const Registered =
    ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

} // namespace
