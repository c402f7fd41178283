// The line checks, the items and a full analysis run on any model lines (the input split at
// line feeds), then the reports and the results view.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spanlab;
  CSPLX_30Doc doc;
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(data[i]));
    }
  }
  if (!line.empty()) lines.push_back(line);
  doc.SetLines(nullptr, std::move(lines));
  fuzz::RunReportAndPaint(doc);
  return 0;
}
