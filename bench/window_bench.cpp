// The window on the offscreen platform. One keystroke in the input box near
// the start, in the middle and at the end of a 5 MB and a 20 MB book (the key,
// the edit, the layout and the repaint), which must not grow with the text
// after the cursor; and a paste of a 5 MB and a 20 MB RTF book with the Paste
// button, from the clipboard's RTF to the box showing it. Each reports its
// ratio to the same operation on a short document, measured in the same run
// ("ratio"); and the time the size estimate holds the window after typing
// pauses in such a book. Memory after a paste: /usr/bin/time -v on one paste, e.g.
//   /usr/bin/time -v build/bench/window_bench --benchmark_filter=Paste.*:20/estimate:1
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextCursor>
#include <chrono>
#include <fstream>
#include <string>

#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "tests/builder/fakes.h"
#include "tests/builder/generated_book.h"

namespace quillet {
namespace {

class NoMessages : public MessageSink {
 public:
  void Show(const std::string&) override {}
};

constexpr const char* kShortBook = "{\\rtf1\\ansi {\\b Un libro} corto.\\par }";

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

// Where a key goes: 0 inside the first paragraph of text, 1 in the middle, 2 at the end.
void PlaceCursor(QPlainTextEdit& editor, int where) {
  if (where == 2) {
    editor.moveCursor(QTextCursor::End);
    return;
  }
  QTextCursor cursor = editor.textCursor();
  cursor.setPosition(where == 0 ? 0 : editor.document()->characterCount() / 2);
  editor.setTextCursor(cursor);
  editor.moveCursor(QTextCursor::NextBlock);
  for (int i = 0; i < 20; ++i) editor.moveCursor(QTextCursor::NextCharacter);
}

// Milliseconds per key, `keys` keys at the cursor's place.
double TimeKeys(QWidget* editor, int keys) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < keys; ++i) TypeOneKey(editor);
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / keys;
}

// range(0): megabytes of RTF; range(1): where the key goes (PlaceCursor).
void BM_KeystrokeInBook(benchmark::State& state) {
  NoOpener opener;
  NoMessages messages;
  rtf2htmlTest window(WindowServices{&opener, &messages, nullptr, nullptr});
  window.Box().SetTextRTF(kShortBook);
  window.show();
  window.activateWindow();
  window.tbRTF->setFocus();
  PlaceCursor(*window.tbRTF, static_cast<int>(state.range(1)));
  Settle(window);
  const double baseline = TimeKeys(window.tbRTF, 50);

  const std::string rtf = testing::GeneratedBookRtf(static_cast<int>(state.range(0)));
  window.Box().SetTextRTF(rtf);
  PlaceCursor(*window.tbRTF, static_cast<int>(state.range(1)));
  Settle(window);
  // The first key after a pause also drops the serialised book the estimate
  // kept; that happens once per burst of typing, not per key.
  TypeOneKey(window.tbRTF);

  double spent = 0;
  for (auto _ : state) {
    const double once = TimeKeys(window.tbRTF, 1);
    state.SetIterationTime(once / 1000);
    spent += once;
  }
  state.counters["MB"] = static_cast<double>(rtf.size()) / 1e6;
  state.counters["short_ms"] = baseline;
  state.counters["ratio"] = spent / static_cast<double>(state.iterations()) / baseline;
  window.close();
}

BENCHMARK(BM_KeystrokeInBook)
    ->ArgNames({"MB", "where"})
    ->ArgsProduct({{5, 20}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(200);

// Milliseconds the window is held by the size estimate after typing pauses in
// a book of `rtf`: the handler's own time, not a worker's.
double TimeEstimate(rtf2htmlTest& window) {
  TypeOneKey(window.tbRTF);
  const auto start = std::chrono::steady_clock::now();
  window.cboPartes_Click();
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  Settle(window);
  return spent.count();
}

// range(0): megabytes of RTF in the box.
void BM_EstimateAfterTyping(benchmark::State& state) {
  NoOpener opener;
  NoMessages messages;
  rtf2htmlTest window(WindowServices{&opener, &messages, nullptr, nullptr});
  window.show();
  window.Box().SetTextRTF(kShortBook);
  window.tbRTF->setFocus();
  Settle(window);
  double baseline = 0;
  for (int i = 0; i < 20; ++i) baseline += TimeEstimate(window) / 20;

  window.Box().SetTextRTF(testing::GeneratedBookRtf(static_cast<int>(state.range(0))));
  Settle(window);
  double spent = 0;
  for (auto _ : state) {
    const double once = TimeEstimate(window);
    state.SetIterationTime(once / 1000);
    spent += once;
  }
  state.counters["short_ms"] = baseline;
  state.counters["ratio"] = spent / static_cast<double>(state.iterations()) / baseline;
  window.close();
}

BENCHMARK(BM_EstimateAfterTyping)
    ->ArgNames({"MB"})
    ->Arg(5)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// The process's resident memory now, from /proc/self/status.
double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  }
  return 0;
}

// Milliseconds of one press of Paste with `rtf` on the clipboard, until the
// box shows it and the window is idle again; with `estimate`, until the size
// estimate, which waits for a pause, is shown too.
double TimePaste(rtf2htmlTest& window, testing::FixedClipboard& clipboard, const std::string& rtf,
                 bool estimate) {
  window.cmdClear_Click();
  Settle(window);
  clipboard.rtf = rtf;
  const auto start = std::chrono::steady_clock::now();
  window.cmdPegar_Click();
  QCoreApplication::processEvents();
  if (estimate && window.EstimatePending()) {
    // The pause itself is not work: the estimate is asked for at once.
    window.cboPartes_Click();
    while (window.EstimatePending()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  clipboard.rtf.clear();
  return spent.count();
}

// range(0): megabytes of RTF on the clipboard; range(1): 1 to include the
// size estimate shown after the pause.
void BM_PasteBook(benchmark::State& state) {
  NoOpener opener;
  NoMessages messages;
  testing::FixedClipboard clipboard;
  rtf2htmlTest window(WindowServices{&opener, &messages, nullptr, &clipboard});
  window.show();
  double baseline = 0;
  const bool estimate = state.range(1) == 1;
  for (int i = 0; i < 20; ++i) baseline += TimePaste(window, clipboard, kShortBook, estimate) / 20;

  const std::string rtf = testing::GeneratedBookRtf(static_cast<int>(state.range(0)));
  double spent = 0;
  for (auto _ : state) {
    const double once = TimePaste(window, clipboard, rtf, estimate);
    state.SetIterationTime(once / 1000);
    spent += once;
  }
  state.counters["MB"] = static_cast<double>(rtf.size()) / 1e6;
  state.counters["short_ms"] = baseline;
  state.counters["ratio"] = spent / static_cast<double>(state.iterations()) / baseline;
  state.counters["rss_MB"] = ResidentMegabytes();
  window.close();
}

BENCHMARK(BM_PasteBook)
    ->ArgNames({"MB", "estimate"})
    ->ArgsProduct({{5, 20}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

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
