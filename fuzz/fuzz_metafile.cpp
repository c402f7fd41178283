// The header picture reader on any bytes, and the player drawing what it read into a box of
// the size the printed report gives it, into a tiny box and into an empty one.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz/fuzz_common.h"
#include "report/metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spanlab;
  fuzz::MemoryFileAccess files(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::optional<Metafile> picture = LoadReportPicture(files, "splx.wmf");
  if (!picture) return 0;
  RecordingDeviceContext printer(true, 50, 100, 600);
  PlayMetafile(printer, *picture, 300, 300, 4200, 600);
  RecordingDeviceContext small;
  PlayMetafile(small, *picture, -5, 7, 3, 2);
  PlayMetafile(small, *picture, 0, 0, 0, 0);
  return 0;
}
