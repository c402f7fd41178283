// Printing the report of a beam on 1,000,001 supports (1,000,000 spans), the largest model the
// window is meant for:
//   - the pages into a PDF file, as `spanlab-cli print` and File > Export Report write them;
//   - the window's Print Preview, from the command to the pages shown, and the memory the
//     process holds before, at the peak and after the preview closed (offscreen platform);
//   - a whole `spanlab-cli print` process on the model file (wall and processor time).
// The reports are the default choice (input data, diagrams page, summary; details off).
//
// The model: "Support: X = i; Disp = 0;" for i = 0 .. 1,000,000 under one member property;
// the analysis runs once, outside the timing.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_main_frame.h"
#include "bench/qt_bench_main.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "run/run_driver.h"
#include "view/qt_exports.h"

extern char** environ;

namespace {

constexpr int kSupports = 1'000'001;

std::vector<std::string> MillionSpanLines() {
  std::vector<std::string> lines;
  lines.reserve(kSupports + 3);
  lines.push_back("File Format:3.0");
  lines.push_back("Units:English;");
  lines.push_back("Member Property: X = 0; E = 29000; I = 448;");
  for (int x = 0; x < kSupports; ++x) {
    lines.push_back("Support: X = " + std::to_string(x) + "; Disp = 0;");
  }
  return lines;
}

spanlab::PrintOptions DefaultReports() { return spanlab::PrintOptions{}; }

// Resident memory now, in MB.
double ResidentMb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

// The peak resident memory of the process so far, in MB.
double PeakMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1e3;
}

bool Analysed(benchmark::State& state, const spanlab::CSPLX_30Doc& doc) {
  if (doc.GetAnalysis().m_nNodes == kSupports && !doc.GetAnalysis().m_bError) return true;
  state.SkipWithError("the model did not analyse to 1,000,001 nodes");
  return false;
}

void BM_ReportPdf1MSpans(benchmark::State& state) {
  spanlab::CSPLX_30Doc doc;
  spanlab::ModelRunner runner;
  doc.SetRunner(&runner);
  doc.SetLines(nullptr, MillionSpanLines());
  if (!Analysed(state, doc)) return;
  QTemporaryDir dir;
  const std::string path = dir.filePath("report.pdf").toStdString();
  spanlab::PrintOptions options = DefaultReports();
  spanlab::RecordingPrompter prompter;
  for (auto _ : state) {
    const std::string error = spanlab::WriteReportPdf(doc, options, prompter, {},
                                                      path, spanlab::ReportPageLayout(false, false));
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_ReportPdf1MSpans)->Unit(benchmark::kSecond)->Iterations(1);

void BM_WindowPrintPreview1MSpans(benchmark::State& state) {
  // The benchmarks before this one freed their reports and models, but the allocator keeps
  // the freed pages until asked: given back, the memory figures are this window's own.
  malloc_trim(0);
  spanlab::MemorySettings settings;
  spanlab::PrintOptions options = DefaultReports();
  spanlab::CMainFrame frame(settings, options);
  frame.resize(1400, 900);
  frame.show();
  frame.Document().SetLines(nullptr, MillionSpanLines());
  QApplication::processEvents();
  if (!Analysed(state, frame.Document())) return;
  const double before = ResidentMb();
  int pages = 0;
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
      auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
      auto* preview = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
      if (!preview || preview->pageCount() == 0) return;  // still printing
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      pages = preview->pageCount();
      poll->stop();
      poll->deleteLater();
      dialog->close();
    });
    poll->start(10);
    frame.Action("printPreview")->trigger();
    state.SetIterationTime(seconds);
  }
  state.counters["pages"] = pages;
  state.counters["MB_before"] = before;
  state.counters["MB_peak"] = PeakMb();
  state.counters["MB_after"] = ResidentMb();
  frame.Document().SetModifiedFlag(false);
}
BENCHMARK(BM_WindowPrintPreview1MSpans)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseManualTime();

void BM_CliPrintProcess1MSpans(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string model = dir.filePath("spans.txt").toStdString();
  {
    std::ofstream out(model);
    for (const std::string& line : MillionSpanLines()) out << line << "\n";
  }
  const std::string cli = QCoreApplication::applicationDirPath().toStdString() + "/spanlab-cli";
  const std::string pdf = dir.filePath("print.pdf").toStdString();
  std::vector<std::string> args = {cli, "print", model, "-o", pdf};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, cli.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
      state.SkipWithError("spanlab-cli could not be started");
      return;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("print failed");
    // The process's processor time: on a shared machine the wall time also counts waiting.
    // (Its peak memory is not told apart here from this process's own, which it shared until
    // it started: measure it with /usr/bin/time -f %M.)
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    state.counters["cpu_s"] = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  }
}
BENCHMARK(BM_CliPrintProcess1MSpans)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

}  // namespace

int main(int argc, char** argv) { return RunQtBenchmarks<QApplication>(argc, argv); }
