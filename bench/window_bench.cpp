// One keystroke in the window's input box, near the start and near the end of
// a 5 MB and a 20 MB book, on the offscreen platform: the key, the edit, the
// layout and the repaint. The time must not grow with the text after the cursor.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextCursor>
#include <string>

#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "tests/builder/generated_book.h"

namespace quillet {
namespace {

class NoMessages : public MessageSink {
 public:
  void Show(const std::string&) override {}
};

// Handles events until the window has nothing left to do: layout, repaint and
// the estimate that waits for typing to pause.
void Settle(const rtf2htmlTest& window) {
  QElapsedTimer waited;
  waited.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  } while (window.EstimatePending() && waited.elapsed() < 120'000);
  QCoreApplication::processEvents();
}

void TypeOneKey(QWidget* editor) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
  QApplication::sendEvent(editor, &press);
  QApplication::sendEvent(editor, &release);
  // Whatever the key left to do (layout, scroll bars, repaint) belongs to it.
  QCoreApplication::processEvents();
}

// range(0): megabytes of RTF; range(1): 0 types near the start, 1 near the end.
void BM_KeystrokeInBook(benchmark::State& state) {
  NoOpener opener;
  NoMessages messages;
  rtf2htmlTest window(WindowServices{&opener, &messages, nullptr, nullptr});
  window.Box().SetTextRTF(testing::GeneratedBookRtf(static_cast<int>(state.range(0))));
  window.show();
  window.activateWindow();
  window.tbRTF->setFocus();
  if (state.range(1) == 0) {
    // Inside the first paragraph of text, after its first words.
    window.tbRTF->moveCursor(QTextCursor::Start);
    window.tbRTF->moveCursor(QTextCursor::NextBlock);
    for (int i = 0; i < 20; ++i) window.tbRTF->moveCursor(QTextCursor::NextCharacter);
  } else {
    window.tbRTF->moveCursor(QTextCursor::End);
  }
  Settle(window);
  // The first key after a pause also drops the serialised book the estimate
  // kept; that happens once per burst of typing, not per key.
  TypeOneKey(window.tbRTF);

  for (auto _ : state) TypeOneKey(window.tbRTF);

  state.counters["MB"] =
      static_cast<double>(testing::GeneratedBookRtf(static_cast<int>(state.range(0))).size()) / 1e6;
  window.close();
}

BENCHMARK(BM_KeystrokeInBook)
    ->ArgNames({"MB", "at_end"})
    ->Args({5, 0})
    ->Args({20, 0})
    ->Args({5, 1})
    ->Args({20, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(200);

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
  // No display is needed: the window is laid out and painted offscreen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
