// The page view offscreen on an RTF-imported document: formatting with Qt's
// font metrics, typing one character in the middle until it is painted, and
// painting one screen. Typing is measured at 1 and 10 MB to show that it does
// not grow with the document.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <QImage>
#include <QKeyEvent>

#include "bench/OfficeRtf.h"
#include "gui/PageView.h"

namespace {

using namespace varnolt;

// One application for the whole run, offscreen unless the caller chose a platform.
QApplication& BenchApplication() {
  static int argc = 1;
  static char name[] = "page_view_bench";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication application(argc, argv);
  return application;
}

struct TOpenDocument {
  explicit TOpenDocument(std::size_t megabytes) {
    BenchApplication();
    editor.SetStyle(&style);
    editor.RTFReadProperties.TextStyleMode = editor.RTFReadProperties.ParaStyleMode = rvrsAddIfNeeded;
    editor.Format();
    editor.InsertRTF(editor.RTFReadProperties, bench::GenerateOfficeRtf(megabytes << 20));
    view = std::make_unique<TRVPageView>(editor);
    view->resize(816, 1056);
    view->show();
    view->DocumentChanged();
  }

  void CaretToTheMiddle() {
    int item = editor.CountItems() / 2;
    while (!editor.ItemAt(item).IsText() || editor.ItemTextAt(item).size() < 4) ++item;
    editor.SetCaret(item, 2);
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, {});
    QApplication::sendEvent(view.get(), &right);
    QApplication::processEvents();
  }

  TRVStyle style;
  TRichDocEdit editor;
  std::unique_ptr<TRVPageView> view;
};

void BM_FormatWithQtMetrics(benchmark::State& state) {
  TOpenDocument open(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    open.editor.ReformatDocument();
    benchmark::DoNotOptimize(open.editor.Layout().TotalHeight());
  }
  state.counters["paragraphs"] = open.editor.Layout().ParagraphCount();
}
BENCHMARK(BM_FormatWithQtMetrics)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TypeOneCharacterAndRepaint(benchmark::State& state) {
  TOpenDocument open(static_cast<std::size_t>(state.range(0)));
  open.CaretToTheMiddle();
  QKeyEvent typed(QEvent::KeyPress, Qt::Key_X, {}, QStringLiteral("x"));
  for (auto _ : state) {
    QApplication::sendEvent(open.view.get(), &typed);
    // Paints the band the change damaged.
    QApplication::processEvents();
  }
}
BENCHMARK(BM_TypeOneCharacterAndRepaint)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void BM_PaintOneScreen(benchmark::State& state) {
  TOpenDocument open(static_cast<std::size_t>(state.range(0)));
  open.CaretToTheMiddle();
  QImage screen(open.view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) open.view->viewport()->render(&screen);
}
BENCHMARK(BM_PaintOneScreen)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
