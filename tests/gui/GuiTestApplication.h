// One QApplication for every test of the program, on the offscreen
// platform unless the caller chose another, so the tests run without a
// display. Screenshots go into the build folder for a person to look at.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace varnolt {

// The application ends with the test run, before the program's exit
// handlers: Qt's input devices must not outlive it.
class QtTestEnvironment : public ::testing::Environment {
 public:
  void TearDown() override { application.reset(); }
  std::unique_ptr<QApplication> application;
};

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "varnolt_gui_tests";
  static char* argv[] = {name, nullptr};
  static QtTestEnvironment* environment = [] {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    auto owned = std::make_unique<QtTestEnvironment>();
    owned->application = std::make_unique<QApplication>(argc, argv);
    return static_cast<QtTestEnvironment*>(::testing::AddGlobalTestEnvironment(owned.release()));  // gtest owns it
  }();
  return *environment->application;
}

// Where a test saves what a person should look at: <build>/screenshots.
inline std::filesystem::path ScreenshotFolder() {
  std::filesystem::path folder = std::filesystem::current_path() / "screenshots";
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace varnolt
