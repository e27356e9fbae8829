// One QApplication for every test of the program, on the offscreen
// platform unless the caller chose another, so the tests run without a
// display. Screenshots go into the build folder for a person to look at.
#pragma once

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace varnolt {

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "varnolt_gui_tests";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Never destroyed: at exit Qt's input devices, made on first use, would be
  // freed after the application's own state and crash the test program.
  static auto* application = std::make_unique<QApplication>(argc, argv).release();
  return *application;
}

// Where a test saves what a person should look at: <build>/screenshots.
inline std::filesystem::path ScreenshotFolder() {
  std::filesystem::path folder = std::filesystem::current_path() / "screenshots";
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace varnolt
