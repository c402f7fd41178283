// A model file opened by name, as the window and spanlab-cli open one: the input is written to
// a file, opened through the disk (the descriptor, the type check, the size limit, one read),
// loaded with questions answered Yes and as the preview loads it, and run. A model that loads
// is then saved beside it (a temporary file renamed over the target) and opened again: the
// lines must come back exactly, and the save must leave no other file in the folder.
#include <dirent.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz/fuzz_common.h"
#include "platform/prompt.h"

namespace {

// A folder of this process's own, made once.
const std::string& Folder() {
  static const std::string folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/spanlab-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  static const bool removedAtExit = [] {
    return std::atexit([] {
      std::remove((folder + "/fuzz.spn").c_str());
      std::remove((folder + "/saved.spn").c_str());
      ::rmdir(folder.c_str());
    }) == 0;
  }();
  (void)removedAtExit;
  return folder;
}

int EntriesIn(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) std::abort();
  int entries = 0;
  while (const dirent* entry = ::readdir(dir)) entries += entry->d_name[0] != '.' ||
                                                         (entry->d_name[1] != '\0' &&
                                                          entry->d_name[1] != '.');
  ::closedir(dir);
  return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace spanlab;
  const std::string path = Folder() + "/fuzz.spn";
  const std::string copy = Folder() + "/saved.spn";
  std::remove(copy.c_str());
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) std::abort();
  }
  for (uint8_t interactive : {1, 0}) {
    RecordingPrompter yes(true);
    CSPLX_30Doc doc;
    doc.SetPrompter(&yes);
    doc.SetInteractive(interactive);
    if (!doc.OnOpenDocument(path)) continue;
    fuzz::RunReportAndPaint(doc);
    if (!interactive) continue;
    if (!doc.OnSaveDocument(copy)) {
      std::fprintf(stderr, "saving failed: %s\n", doc.GetLastError().c_str());
      std::abort();
    }
    if (EntriesIn(Folder()) != 2) {
      std::fprintf(stderr, "the save left another file in %s\n", Folder().c_str());
      std::abort();
    }
    CSPLX_30Doc again;
    if (!again.OnOpenDocument(copy) || again.GetLines() != doc.GetLines()) {
      std::fprintf(stderr, "the saved model did not open with the same lines: %s\n",
                   again.GetLastError().c_str());
      std::abort();
    }
  }
  return 0;
}
