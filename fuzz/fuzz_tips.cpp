// The tips reader on any bytes, starting at any stored position: the first tip, a few more
// (going round the end of the file), and the position stored at the end.
//
// Input: four bytes of stored position (little-endian, signed), one byte choosing whether the
// stored time stamp matches the file's, then the tips file.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "app/tip_reader.h"
#include "fuzz/fuzz_common.h"
#include "platform/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spanlab;
  if (size < 5) return 0;
  uint32_t position = 0;
  for (int i = 3; i >= 0; --i) position = (position << 8) | data[i];
  const bool sameFile = data[4] & 1;
  fuzz::MemoryFileAccess files(std::string_view(reinterpret_cast<const char*>(data + 5), size - 5));

  MemorySettings settings;
  int32_t stored = 0;
  std::memcpy(&stored, &position, sizeof stored);
  settings.SetInt("Tip", "FilePos", stored);
  settings.SetString("Tip", "TimeStamp", sameFile ? "Wed Jun 30 21:49:08 1993" : "");
  {
    TipReader reader(settings, files, "spanlab.tip", "Wed Jun 30 21:49:08 1993");
    for (int i = 0; i < 8 && reader.IsOpen(); ++i) reader.NextTip();
    reader.Close(data[4] & 2);
  }
  // The program started again on the same file goes on from the stored position.
  TipReader again(settings, files, "spanlab.tip", "Wed Jun 30 21:49:08 1993");
  again.NextTip();
  return 0;
}
