// The main of a benchmark that needs a Qt application (fonts, widgets): offscreen without a
// display, then the benchmarks as Google Benchmark runs them.
#pragma once

#include <benchmark/benchmark.h>

#include <QtGlobal>

template <class Application>
int RunQtBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  Application app(qtArgc, qtArgv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
