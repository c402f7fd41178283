// The model file reader on any bytes, both as the window opens a file (questions answered Yes,
// older files converted) and as the open-file preview does (no questions, no conversion); then
// the run, the reports and the results view of whatever was loaded.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_common.h"
#include "platform/prompt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spanlab;
  fuzz::MemoryFileAccess files(std::string_view(reinterpret_cast<const char*>(data), size));
  for (uint8_t interactive : {1, 0}) {
    RecordingPrompter yes(true);
    CSPLX_30Doc doc;
    doc.SetFileAccess(&files);
    doc.SetPrompter(&yes);
    doc.SetInteractive(interactive);
    if (!doc.OnOpenDocument("fuzz.spn")) continue;
    fuzz::RunReportAndPaint(doc);
  }
  return 0;
}
