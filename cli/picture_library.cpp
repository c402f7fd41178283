#include "cli/picture_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace spanlab {

namespace {

// The folder of the running program, from /proc/self/exe (symbolic links resolved); "." when
// the system does not say.
std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  const std::string exe(path, size_t(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : exe.substr(0, slash);
}

bool IsFile(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

bool SameInterface(const PictureLibraryInterface& a, const PictureLibraryInterface& b) {
  return std::strncmp(a.name, b.name, sizeof a.name) == 0 && a.optionsSize == b.optionsSize;
}

// The library's table, or null after a message that names `command`.
const PictureCommands* LoadPictureCommands(const std::string& command) {
  const std::string folder = ProgramFolder();
  const std::string beside = folder + "/" + kPictureLibraryFile;
  const std::string installed = folder + "/" SPANLAB_PICTURE_LIBRARY_DIR "/" + kPictureLibraryFile;
  const std::string path = IsFile(beside) ? beside : installed;
  if (!IsFile(path)) {
    CannotRun(command + " needs the picture library " + kPictureLibraryFile +
              ", which is not installed (looked for '" + beside + "' and '" + installed +
              "'); reinstall Spanlab");
    return nullptr;
  }
  // Never closed: Qt does not expect to be unloaded while its application object lives.
  // Functions are bound as they are first called, as for a linked library: binding all of Qt's
  // at once made a plot about 2 ms slower than before the split. A missing Qt library, or a Qt
  // older than the one the library was built for (Qt's symbols are versioned), still fails here.
  void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (library == nullptr) {
    CannotRun(command + ": cannot load the picture library: " + std::string(dlerror()));
    return nullptr;
  }
  const auto entry =
      reinterpret_cast<PictureCommandsEntry>(dlsym(library, kPictureLibraryEntry));
  const PictureCommands* commands = entry ? entry() : nullptr;
  if (commands == nullptr || !SameInterface(commands->interface, kPictureLibraryInterface)) {
    CannotRun(command + ": the picture library '" + path +
              "' does not belong to this spanlab-cli; reinstall Spanlab");
    return nullptr;
  }
  return commands;
}

}  // namespace

int RunPictureCommand(const std::string& command, const Options& o) {
  const PictureCommands* commands = LoadPictureCommands(command);
  if (commands == nullptr) return kExitCannotRun;
  return command == "print" ? commands->print(o) : commands->plot(o);
}

}  // namespace spanlab
