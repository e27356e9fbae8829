// The window offscreen: from nothing to the first painted window, and
// switching between two pages of 1 MB of text each.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <cstdlib>
#include <memory>

#include "gui/MainWindow.h"
#include "gui/QtClipboard.h"

namespace varnolt {
namespace {

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void BM_StartupToFirstPaint(benchmark::State& state) {
  for (auto _ : state) {
    QtClipboard clipboard(*QApplication::clipboard());
    MainWindow window(clipboard);
    window.show();
    Settle();
    benchmark::DoNotOptimize(window.grab());
    state.PauseTiming();
    window.close();
    Settle();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond);

// Each switch brings the other page's view to the front and paints the
// window with it, besides the page bar and the status texts.
void BM_SwitchBetweenTwoLargePages(benchmark::State& state) {
  QtClipboard clipboard(*QApplication::clipboard());
  MainWindow window(clipboard);
  window.show();
  Settle();
  std::u16string text;
  while (text.size() < 1'000'000) text += u"A line of a large page, to be switched to and from.\r";
  window.Run([&] { window.Form().CurrentEditor().InsertTextAtCaret(text); });
  window.Run([&] { window.Form().Label24Click(); });
  window.Run([&] { window.Form().CurrentEditor().InsertTextAtCaret(text); });
  int page = 0;
  for (auto _ : state) {
    window.Run([&] { window.Form().ButtonClick(page, TMouseButton::mbLeft); });
    benchmark::DoNotOptimize(window.grab());
    page = 1 - page;
  }
  window.close();
}
BENCHMARK(BM_SwitchBetweenTwoLargePages)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace varnolt

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  QApplication::setApplicationName("Varnolt");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
