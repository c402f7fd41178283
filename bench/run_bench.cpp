// From a model file's bytes to the complete run log: load the file into a fresh document, then
// format check, items, data check, analysis and log text, as opening a file in the window does.
//
// The file is written once before timing; each timed run opens it, so the read from the page
// cache is part of the figure. Two models: a typical one of 50 lines, and one of a million data
// lines (a support every 10 ft with a point load in each span) to keep the whole road linear.
// BM_RunSpans times the run alone, of lines a document already holds (the Python module's
// Model.run()), for 1,000 and 100,000 spans.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "analysis/moving_load.h"
#include "model/model_file.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace {

using spanlab::CSPLX_30Doc;

std::string Number(double value) {
  std::string text = std::to_string(value);  // fixed, six decimals; trim the zeros
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  return text;
}

// Three properties, six supports, two hinges, 20 point loads and 15 uniform loads over 100 ft.
std::vector<std::string> TypicalModel() {
  std::vector<std::string> lines = {
      "File Format:3.0",
      "/Five-span floor beam with two hinges",
      "/loads from the slab above",
      "Units: English;",
      "Member Property: X = 0; E = 29000; I = 448; /W16x36",
      "Member Property: X = 40; E = 29000; I = 510;",
      "Member Property: X = 80; E = 29000; I = 448;",
      "Moment Release: X = 32;",
      "Moment Release: X = 68;",
  };
  for (int i = 0; i <= 5; ++i) {
    lines.push_back("Support: X = " + std::to_string(20 * i) + "; Disp = 0;");
  }
  for (int i = 0; i < 20; ++i) {
    lines.push_back("Point Load: X = " + Number(2.5 + 5 * i) + "; PLoad = -" + Number(1 + i % 4) +
                    ";" + (i % 5 == 0 ? " Moment = 2;" : ""));
  }
  for (int i = 0; i < 15; ++i) {
    const double start = 6.0 * i;
    lines.push_back("Uniform Load: XStart = " + Number(start) + "; XEnd = " + Number(start + 10) +
                    "; UStart = -0.8; UEnd = -" + Number(0.8 + 0.1 * i) + ";");
  }
  return lines;
}

// A support every 10 ft and a point load in the middle of each span: one million lines.
std::vector<std::string> MillionLineModel() {
  constexpr int64_t kLines = 1'000'000;
  constexpr int64_t kSupports = (kLines - 3 + 1) / 2;
  std::vector<std::string> lines = {"File Format:3.0", "Units: English;",
                                    "Member Property: X = 0; E = 29000; I = 448;"};
  lines.reserve(kLines);
  for (int64_t i = 0; i < kSupports; ++i) {
    lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
    if (i + 1 < kSupports) {
      lines.push_back("Point Load: X = " + std::to_string(10 * i + 5) + "; PLoad = -2;");
    }
  }
  return lines;
}

// `spans` spans of 10 ft: a support every 10 ft, a point load in the middle of each span and a
// uniform load over the whole beam. bench/python_run_bench.py times the Python module's run of
// the very same lines, against BM_RunSpans.
std::vector<std::string> SpansModel(int64_t spans) {
  std::vector<std::string> lines = {
      "File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;",
      "Uniform Load: XStart = 0; XEnd = " + std::to_string(10 * spans) +
          "; UStart = -0.5; UEnd = -0.5;"};
  for (int64_t i = 0; i <= spans; ++i) {
    lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
    if (i < spans) {
      lines.push_back("Point Load: X = " + std::to_string(10 * i + 5) + "; PLoad = -2;");
    }
  }
  return lines;
}

// A model file on disk for the life of one benchmark.
class ModelFile {
 public:
  explicit ModelFile(const std::vector<std::string>& lines, const char* name)
      : path_((std::filesystem::temp_directory_path() /
               ("spanlab-run-bench-" + std::to_string(getpid()) + "-" + name + ".spn"))
                  .string()) {
    const std::string bytes = spanlab::WriteModelFile(lines);
    std::ofstream(path_, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
  }
  ~ModelFile() { std::filesystem::remove(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Peak resident memory of the process so far (VmHWM), in MiB; 0 when unknown.
double PeakMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;  // kB
  }
  return 0;
}

// `lines` are written to the file and dropped before the runs, so that the peak memory is that
// of the road from the file to the log, not of the generator.
void OpenAndRun(benchmark::State& state, std::vector<std::string> lines, const char* name,
                bool reportPeak) {
  const ModelFile file(lines, name);
  const size_t lineCount = lines.size();
  std::vector<std::string>().swap(lines);
  spanlab::RunLog last;
  bool unstable = false;
  for (auto _ : state) {
    CSPLX_30Doc doc;
    if (!doc.OnOpenDocument(file.path())) {
      state.SkipWithError(doc.GetLastError().c_str());
      return;
    }
    last = spanlab::RunModel(doc);
    unstable = doc.GetAnalysis().m_bError != 0;
    benchmark::DoNotOptimize(last.text.data());
  }
  if (last.errors != 0 || !last.analysed || unstable) {
    state.SkipWithError(("the model did not run cleanly:\n" + last.text).c_str());
    return;
  }
  state.SetItemsProcessed(state.iterations() * int64_t(lineCount));
  state.counters["lines"] = double(lineCount);
  if (reportPeak) state.counters["peak_MiB"] = PeakMiB();
}

void BM_OpenAndRunTypical(benchmark::State& state) {
  OpenAndRun(state, TypicalModel(), "typical", false);
}

void BM_OpenAndRunMillionLines(benchmark::State& state) {
  OpenAndRun(state, MillionLineModel(), "million", true);
}

// The checked run of lines a document already holds (RunModel on a new document each time, as
// the Python module's Model.run() does): checks, items, analysis, extremes and log. Only the run
// is timed (manual time: making and freeing the document stay outside without the cost of
// pausing the timer).
// Times RunModel on a new document holding `lines`, each iteration; stops with an error when the
// model does not run cleanly.
void TimeRuns(benchmark::State& state, const std::vector<std::string>& lines) {
  for (auto _ : state) {
    auto doc = std::make_unique<CSPLX_30Doc>();
    doc->SetLines(nullptr, lines);
    const auto begin = std::chrono::steady_clock::now();
    const spanlab::RunLog log = spanlab::RunModel(*doc);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    benchmark::DoNotOptimize(log.text.data());
    if (log.errors != 0 || doc->GetAnalysis().m_bError) {
      state.SkipWithError(("the model did not run cleanly:\n" + log.text).c_str());
      return;
    }
  }
}

void BM_RunSpans(benchmark::State& state) { TimeRuns(state, SpansModel(state.range(0))); }

// A design model: equal 10 ft spans with four load cases (dead and snow over the whole beam, a
// wind point load per span, the live load patterned), twelve combinations (three of them with the
// live load, so patterned over every span; two of service) and both checks.
std::vector<std::string> DesignModel(int64_t spans, bool design) {
  std::vector<std::string> lines = {"File Format:3.0", "Units: English;",
                                    "Member Property: X = 0; E = 29000; I = 1830;"};
  for (int64_t i = 0; i <= spans; ++i)
    lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
  const std::string end = std::to_string(10 * spans);
  lines.push_back("Uniform Load: XStart = 0; XEnd = " + end + "; UStart = -1.2; UEnd = -1.2;");
  lines.push_back("Uniform Load: XStart = 0; XEnd = " + end +
                  "; UStart = -0.4; UEnd = -0.4; Case = S;");
  for (int64_t i = 0; i < spans; ++i)
    lines.push_back("Point Load: X = " + std::to_string(10 * i + 4) + "; PLoad = 2; Case = W;");
  lines.push_back("Live Load: U = -1.5;");
  if (!design) return lines;
  const char* combinations[] = {
      "Load Combination: Name = U1; D = 1.4;",
      "Load Combination: Name = U2; D = 1.2; L = 1.6; S = 0.5;",
      "Load Combination: Name = U3a; D = 1.2; S = 1.6; L = 1;",
      "Load Combination: Name = U3b; D = 1.2; S = 1.6; W = 0.5;",
      "Load Combination: Name = U4; D = 1.2; W = 1; L = 1; S = 0.5;",
      "Load Combination: Name = U5; D = 0.9; W = 1;",
      "Load Combination: Name = U6; D = 0.9; W = -1;",
      "Load Combination: Name = U7; D = 1.2; S = 0.2;",
      "Load Combination: Name = U8; D = 1.2; W = 0.5; S = 1;",
      "Load Combination: Name = U9; D = 1.2; W = -0.5; S = 1;",
      "Service Combination: Name = S1; D = 1; L = 1;",
      "Service Combination: Name = S2; D = 1; S = 1;",
  };
  lines.insert(lines.end(), std::begin(combinations), std::end(combinations));
  lines.push_back("Deflection Limit: Span = 360; Cantilever = 180;");
  lines.push_back("Capacity: Moment = 350; Shear = 90; MomentNeg = 300;");
  return lines;
}

// The checked run of a design model (envelopes over the combinations and the checks included),
// beside the same model without its combination and check lines (the single analysis with the
// live-load envelope of the Live Load line): BM_RunDesign/spans/1 and /spans/0.
void BM_RunDesign(benchmark::State& state) {
  TimeRuns(state, DesignModel(state.range(0), state.range(1) != 0));
}

// Moving loads: equal 40 ft spans crossed by a three-axle truck with a variable gap (the
// HL-93 truck of the library), both directions, every node and element end: the envelope's own
// time, after the run. BM_MovingLoads/spans.
void BM_MovingLoads(benchmark::State& state) {
  std::vector<std::string> lines = {"File Format:3.0", "Units: English;",
                                    "Member Property: X = 0; E = 29000; I = 1830;"};
  for (int64_t i = 0; i <= state.range(0); ++i)
    lines.push_back("Support: X = " + std::to_string(40 * i) + "; Disp = 0;");
  lines.push_back("Vehicle: Name = T; Axles = -8, -32, -32; Spacing = 14, 14..30;");
  auto doc = std::make_unique<CSPLX_30Doc>();
  doc->SetLines(nullptr, lines);
  const spanlab::RunLog log = spanlab::RunModel(*doc);
  if (log.errors != 0) {
    state.SkipWithError(("the model did not run cleanly:\n" + log.text).c_str());
    return;
  }
  for (auto _ : state) {
    const spanlab::MovingLoadEnvelope env =
        spanlab::ComputeMovingLoadEnvelope(doc->GetAnalysis(), doc->GetItems());
    benchmark::DoNotOptimize(env.nodes.data());
  }
  state.counters["nodes"] = doc->GetAnalysis().m_nNodes;
}

BENCHMARK(BM_MovingLoads)->Arg(1)->Arg(2)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunSpans)->Arg(1'000)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunDesign)
    ->Args({10, 1})
    ->Args({10, 0})
    ->Args({1'000, 1})
    ->Args({1'000, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndRunTypical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndRunMillionLines)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
