// `spanlab-cli results` as a script meets it: the whole process, from posix_spawn to the exit
// status, with standard output going to /dev/null. Each case runs the program 100 times (after
// three untimed runs that warm the page cache) and reports the median, the fastest and the 90th
// percentile run; the machine is shared, so read the median.
//
// Cases: /bin/true (what any process costs here), `spanlab-cli --help` (start-up: loading and
// relocating the program and its libraries, parsing the command line), and `results` on a
// 10-line model and on a 1,000-span model. The in-process benchmarks after them split the
// 1,000-span command into its stages: read (open the model file into a document), run (checks,
// items, analysis) and output (the JSON text written to /dev/null), each the mean of many runs
// in a warm process.
//
// The models are written into a temporary folder at start-up. `--write_models=DIR` writes them
// into DIR instead and exits, for profiling by hand:
//   build/spanlab-cli-bench --write_models=/tmp/m
//   valgrind --tool=callgrind build/spanlab-cli results /tmp/m/spans-1000.spn > /dev/null
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/results_export.h"
#include "model/model_file.h"
#include "run/document.h"
#include "run/run_driver.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using spanlab::CSPLX_30Doc;

// Ten lines: a floor beam of two spans with a cantilever.
std::vector<std::string> TenLineModel() {
  return {
      "File Format:3.0",
      "/Two-span floor beam: W16x36 over a 30 ft span and a 12 ft cantilever",
      "Units:English;",
      "Member Property: X = 0; E = 29000; I = 448; /W16x36",
      "Support: X = 0; Disp = 0;",
      "Support: X = 30; Disp = 0;",
      "Point Load: X = 15; PLoad = -10; /equipment",
      "Point Load: X = 42; PLoad = -4; /edge load",
      "Uniform Load: XStart = 0; XEnd = 42; UStart = -1.2; UEnd = -1.2; /dead + live",
      "Uniform Load: XStart = 30; XEnd = 42; UStart = -0.5; UEnd = -0.5; /snow",
  };
}

// A uniform beam of `spans` equal spans of 10 ft: one member property, a support every 10 ft and
// one uniform load over the whole length. 1,000 spans give 1,001 nodes and about 250 KB of
// JSON results.
std::vector<std::string> UniformBeam(int spans) {
  std::vector<std::string> lines = {"File Format:3.0", "Units: English;",
                                    "Member Property: X = 0; E = 29000; I = 448;"};
  for (int i = 0; i <= spans; ++i) {
    lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
  }
  lines.push_back("Uniform Load: XStart = 0; XEnd = " + std::to_string(10 * spans) +
                  "; UStart = -1; UEnd = -1;");
  return lines;
}

struct Models {
  fs::path folder;
  std::string tenLines;
  std::string spans1000;
};

Models& TheModels() {
  static Models models;
  return models;
}

bool WriteModels(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  Models& m = TheModels();
  m.folder = folder;
  m.tenLines = (folder / "ten-lines.spn").string();
  m.spans1000 = (folder / "spans-1000.spn").string();
  for (const auto& [path, lines] : {std::pair{m.tenLines, TenLineModel()},
                                    std::pair{m.spans1000, UniformBeam(1000)}}) {
    const std::string bytes = spanlab::WriteModelFile(lines);
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), std::streamsize(bytes.size()));
    if (!file.flush()) return false;
  }
  return true;
}

std::string ProgramFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : self.parent_path().string();
}

// Runs `argv` with standard output and error on /dev/null; returns its exit status, or -1.
int RunProcess(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  if (n == 0) return 0;
  if (fraction == 0.5 && n % 2 == 0) return (values[n / 2 - 1] + values[n / 2]) / 2;
  return values[std::min(n - 1, size_t(fraction * double(n)))];
}

void WholeProcess(benchmark::State& state, const std::vector<std::string>& args) {
  for (int i = 0; i < 3; ++i) {
    if (RunProcess(args) != 0) {
      state.SkipWithError(("'" + args[0] + "' did not exit with status 0").c_str());
      return;
    }
  }
  std::vector<double> seconds;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const int status = RunProcess(args);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (status != 0) {
      state.SkipWithError(("'" + args[0] + "' did not exit with status 0").c_str());
      return;
    }
    state.SetIterationTime(took.count());
    seconds.push_back(took.count());
  }
  state.counters["median_ms"] = Percentile(seconds, 0.5) * 1e3;
  state.counters["min_ms"] = Percentile(seconds, 0.0) * 1e3;
  state.counters["p90_ms"] = Percentile(seconds, 0.9) * 1e3;
}

std::string Cli() { return ProgramFolder() + "/spanlab-cli"; }

void BM_ProcessTrue(benchmark::State& state) { WholeProcess(state, {"/bin/true"}); }
void BM_ProcessCliHelp(benchmark::State& state) { WholeProcess(state, {Cli(), "--help"}); }
void BM_ProcessResults10Lines(benchmark::State& state) {
  WholeProcess(state, {Cli(), "results", TheModels().tenLines});
}
void BM_ProcessResults1000Spans(benchmark::State& state) {
  WholeProcess(state, {Cli(), "results", TheModels().spans1000});
}

constexpr int kRuns = 100;
BENCHMARK(BM_ProcessTrue)->Iterations(kRuns)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessCliHelp)->Iterations(kRuns)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessResults10Lines)
    ->Iterations(kRuns)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessResults1000Spans)
    ->Iterations(kRuns)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- the stages of `results` on the 1,000-span model, in this process ----

void OpenModel(CSPLX_30Doc& doc, benchmark::State& state) {
  if (!doc.OnOpenDocument(TheModels().spans1000)) state.SkipWithError(doc.GetLastError().c_str());
}

void BM_StageRead1000Spans(benchmark::State& state) {
  for (auto _ : state) {
    CSPLX_30Doc doc;
    OpenModel(doc, state);
    benchmark::DoNotOptimize(&doc);
  }
}

void BM_StageRun1000Spans(benchmark::State& state) {
  CSPLX_30Doc doc;
  OpenModel(doc, state);
  for (auto _ : state) {
    const spanlab::RunLog run = spanlab::RunModel(doc);
    benchmark::DoNotOptimize(run.text.data());
  }
}

void BM_StageOutput1000Spans(benchmark::State& state) {
  CSPLX_30Doc doc;
  OpenModel(doc, state);
  spanlab::RunModel(doc);
  std::ofstream devnull("/dev/null", std::ios::binary);
  for (auto _ : state) {
    spanlab::WriteResultsJson(devnull, doc.GetAnalysis());
    devnull.flush();
  }
}

BENCHMARK(BM_StageRead1000Spans)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StageRun1000Spans)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StageOutput1000Spans)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  const std::string flag = "--write_models=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], flag.c_str(), flag.size()) == 0) {
      const bool ok = WriteModels(argv[i] + flag.size());
      std::cout << (ok ? "models written to " : "cannot write models to ")
                << (argv[i] + flag.size()) << "\n";
      return ok ? 0 : 1;
    }
  }
  const fs::path folder =
      fs::temp_directory_path() / ("spanlab-cli-bench-" + std::to_string(getpid()));
  if (!WriteModels(folder)) {
    std::cerr << "cannot write the models into " << folder << "\n";
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  fs::remove_all(folder, ec);
  return 0;
}
