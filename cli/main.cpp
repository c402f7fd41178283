// spanlab-cli: the headless front end. Runs the same core as the window.
//
//   spanlab-cli results LINES.txt [--format json|csv]
//
// Exit codes: 0 success, 1 a file could not be read or written, 2 bad command-line arguments.
#include <CLI/CLI.hpp>

#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/results_export.h"
#include "model/document.h"

namespace {

// Reads a plain text file of model lines, one a line, LF or CRLF.
bool ReadLinesFile(const std::string& path, std::vector<std::string>& lines, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open '" + path + "' for reading";
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  if (in.bad()) {
    error = "error while reading '" + path + "'";
    return false;
  }
  return true;
}

int RunResults(const std::string& path, const std::string& format) {
  spanlab::CSPLX_30Doc doc;
  std::string error;
  if (!ReadLinesFile(path, doc.m_lines, error)) {
    std::cerr << "spanlab-cli: " << error << "\n";
    return 1;
  }
  doc.BuildItems(true);
  doc.RunAnalysis();
  doc.m_pAnalysis->ComputeExtremes(doc.m_nUnits);
  std::ostringstream out;
  if (format == "csv") spanlab::WriteResultsCsv(out, *doc.m_pAnalysis);
  else spanlab::WriteResultsJson(out, *doc.m_pAnalysis);
  std::cout << out.str();
  std::cout.flush();
  if (!std::cout) {
    std::cerr << "spanlab-cli: cannot write the results\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Spanlab: static analysis of a continuous beam"};
  app.require_subcommand(1);

  std::string resultsPath;
  std::string format = "json";
  CLI::App* results = app.add_subcommand(
      "results", "Analyse a file of model lines (no checks) and print the results record");
  results->add_option("LINES", resultsPath, "text file with one model line a line")->required();
  results->add_option("--format", format, "json (default) or csv")
      ->check(CLI::IsMember({"json", "csv"}));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  try {
    if (*results) return RunResults(resultsPath, format);
  } catch (const std::exception& e) {
    std::cerr << "spanlab-cli: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
