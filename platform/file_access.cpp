// Opening, reading and replacing files.
//
// Reading opens without blocking (O_NONBLOCK: a named pipe without a writer, or a device, would
// otherwise wait), checks on the open descriptor that it is a regular file, and reads it in
// one pass, so that whoever looks at the bytes sees the same bytes that are loaded. The size
// is checked before reading and again while reading (a file that grows).
//
// Saving writes a temporary file in the target's folder, flushes it to disk and renames it
// over the target. The temporary file is unnamed (O_TMPFILE) while it is written and gets a
// name of the pattern ".spanlab-save-XXXXXX" (linkat) only for the rename, so a process killed
// during a save leaves nothing behind; where the file system has no unnamed files it is named
// from the start (mkstemp). The writer holds a lock on it. Before each save, files of that
// pattern in the folder that belong to this user, are older than this process and are not
// locked are removed: they are what a killed save left, since every save in progress is
// either younger than any process started before it, or locked.
#include "platform/file_access.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace spanlab {

namespace {

std::string Reason(int error) { return std::strerror(error); }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string InFolder(const std::string& folder, std::string_view name) {
  return (folder == "/" ? std::string() : folder) + "/" + std::string(name);
}

// Why a path that is not a regular file cannot be read or replaced.
std::string NotAFile(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder, not a file";
  if (S_ISFIFO(mode)) return "it is a named pipe, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a file";
  if (S_ISSOCK(mode)) return "it is a socket, not a file";
  return "it is not a regular file";
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

int64_t Nanoseconds(const timespec& t) { return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }

// When this process started, in nanoseconds on the real-time clock; 0 when /proc does not say.
int64_t ProcessStartTime() {
  FILE* file = std::fopen("/proc/self/stat", "re");
  if (!file) return 0;
  char text[1024] = {};
  const size_t n = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  // The command name (field 2) may hold blanks and parentheses: count fields after its last ')'.
  const char* field = std::strrchr(text, ')');
  if (n == 0 || !field) return 0;
  for (int i = 2; i < 22 && field; ++i) field = std::strchr(field + 1, ' ');
  if (!field) return 0;
  const unsigned long long ticks = std::strtoull(field + 1, nullptr, 10);  // since boot
  const long perSecond = ::sysconf(_SC_CLK_TCK);
  timespec boot{}, now{};
  if (perSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &boot) != 0 ||
      ::clock_gettime(CLOCK_REALTIME, &now) != 0) {
    return 0;
  }
  const int64_t sinceBoot = static_cast<int64_t>(ticks) * (1'000'000'000 / perSecond);
  return Nanoseconds(now) - (Nanoseconds(boot) - sinceBoot);
}

bool IsTemporarySaveName(std::string_view name) {
  const std::string_view prefix = kTemporarySavePrefix;
  if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix) return false;
  for (const char c : name.substr(prefix.size())) {
    const bool alphanumeric =
        (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alphanumeric) return false;
  }
  return true;
}

// Removes what killed saves left in `folder` (see the top of this file).
void RemoveStaleTemporaryFiles(const std::string& folder) {
  const int64_t started = ProcessStartTime();
  if (started <= 0) return;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporarySaveName(entry->d_name)) continue;
    struct stat st {};
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) continue;
    if (Nanoseconds(st.st_mtim) >= started) continue;
    const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlinkat(dirFd, entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

// Six letters or digits, different for every attempt and process.
std::string RandomSuffix(unsigned attempt) {
  static constexpr char kAlphabet[] =
      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  uint64_t x = static_cast<uint64_t>(Nanoseconds(now)) ^ (uint64_t(::getpid()) << 40) ^
               (uint64_t{attempt} * 0x9E3779B97F4A7C15ull);
  // splitmix64's finaliser spreads every input bit over the output.
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  x ^= x >> 31;
  std::string suffix(6, '0');
  for (char& c : suffix) {
    c = kAlphabet[x % 62];
    x /= 62;
  }
  return suffix;
}

struct TemporaryFile {
  int fd = -1;
  std::string name;  // empty while the file is unnamed
};

// A new temporary file in `folder`, locked; fd -1 (errno set) when none can be created there.
TemporaryFile CreateTemporaryFile(const std::string& folder, bool unnamed) {
  TemporaryFile temp;
  if (unnamed) temp.fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (temp.fd < 0) {
    // No unnamed files here (or not asked for): a named one. A folder that refuses files
    // refuses both, and mkstemp's error is the one reported.
    temp.name = InFolder(folder, std::string(kTemporarySavePrefix) + "XXXXXX");
    temp.fd = ::mkostemp(temp.name.data(), O_CLOEXEC);
    if (temp.fd < 0) return temp;
  }
  ::flock(temp.fd, LOCK_EX);
  return temp;
}

// Gives an unnamed temporary file a name of the temporary pattern in `folder`; false with
// errno set when it cannot be linked.
bool NameTemporaryFile(TemporaryFile& temp, const std::string& folder) {
  const std::string byDescriptor = "/proc/self/fd/" + std::to_string(temp.fd);
  for (unsigned attempt = 0; attempt < 64; ++attempt) {
    const std::string name =
        InFolder(folder, std::string(kTemporarySavePrefix) + RandomSuffix(attempt));
    if (::linkat(AT_FDCWD, byDescriptor.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) ==
            0 ||
        // Without /proc: the descriptor itself (needs the right to link any open file).
        (errno != EEXIST && ::linkat(temp.fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)) {
      temp.name = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// The descriptor that /dev/stdout, /dev/stderr, /dev/fd/N or /proc/self/fd/N names; -1 for
// any other path.
int DescriptorNamedBy(const std::string& path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = path.substr(prefix.size());
    if (digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos)
      return -1;
    return std::atoi(digits.c_str());
  }
  return -1;
}

// Writes into a pipe, device or open descriptor. A reader that goes away gives an error, not
// a SIGPIPE that would end the program.
Status WriteIntoStream(int fd, const std::string& path, std::string_view bytes) {
  sigset_t pipeSignal, previous;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  const bool written = WriteAll(fd, bytes);
  const int error = errno;
  if (!written && error == EPIPE) {
    const timespec noWait{};
    ::sigtimedwait(&pipeSignal, nullptr, &noWait);  // the SIGPIPE this write raised
  }
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (!written) return Status::Error("Cannot write to '" + path + "': " + Reason(error) + ".");
  return Status::Ok();
}

}  // namespace

Status FileAccess::ReadFileUpToError(const std::string& path, std::string& bytes,
                                     size_t maxBytes, bool& opened) {
  const Status status = ReadFile(path, bytes, maxBytes);
  opened = status.ok();
  if (!opened) bytes.clear();
  return status;
}

Status FileAccess::WriteFileOrStream(const std::string& path, const std::string& bytes) {
  return WriteFileAtomically(path, bytes);
}

bool FileAccess::IsReadOnlyFile(const std::string&) { return false; }

bool DiskFileAccess::IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (::geteuid() == 0) return (st.st_mode & 0222) == 0;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

Status DiskFileAccess::ReadFile(const std::string& path, std::string& bytes, size_t maxBytes) {
  bool opened = false;
  const Status status = ReadFileUpToError(path, bytes, maxBytes, opened);
  if (!status.ok()) bytes.clear();
  return status;
}

Status DiskFileAccess::ReadFileUpToError(const std::string& path, std::string& bytes,
                                         size_t maxBytes, bool& opened) {
  bytes.clear();
  opened = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0) {
    const int error = errno;
    // A socket cannot be opened at all (ENXIO): say what it is.
    if (error == ENXIO && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      return Status::Error("Cannot open '" + path + "': " + NotAFile(st.st_mode) + ".");
    }
    return Status::Error("Cannot open '" + path + "': " + Reason(error) + ".");
  }
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return Status::Error("Cannot open '" + path + "': " + Reason(error) + ".");
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return Status::Error("Cannot open '" + path + "': " + NotAFile(st.st_mode) + ".");
  }
  const auto tooLarge = [&] {
    ::close(fd);
    bytes.clear();
    bytes.shrink_to_fit();
    return Status::Error("Cannot open '" + path + "': the file is larger than " +
                         std::to_string(maxBytes >> 20) + " MB.");
  };
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) return tooLarge();
  // The size is known: one allocation instead of doubling (twice the memory).
  if (st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
  opened = true;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return Status::Error("Cannot read '" + path + "': " + Reason(error) + ".");
    }
    bytes.append(buffer, static_cast<size_t>(n));
    if (bytes.size() > maxBytes) {
      opened = false;  // a file that grew past the limit while read counts as too large
      return tooLarge();
    }
  }
  ::close(fd);
  return Status::Ok();
}

Status DiskFileAccess::WriteFileAtomically(const std::string& requested, const std::string& bytes) {
  // Through a symbolic link the file it names is replaced, and the link stays.
  std::string path = requested;
  if (char* real = ::realpath(requested.c_str(), nullptr)) {
    path = real;
    std::free(real);
  }
  const auto failed = [&requested](int error) {
    return Status::Error("Cannot save '" + requested + "': " + Reason(error) +
                         ". The file on disk was not changed.");
  };
  // Only a regular file is ever replaced: a named pipe or a device stays what it is.
  struct stat old {};
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) return failed(EISDIR);
  if (exists && !S_ISREG(old.st_mode)) {
    return Status::Error("Cannot save '" + requested + "': " + NotAFile(old.st_mode) +
                         ". Nothing was written.");
  }
  const std::string folder = FolderOf(path);
  RemoveStaleTemporaryFiles(folder);
  TemporaryFile temp = CreateTemporaryFile(folder, unnamedTemporaryFiles_);
  if (temp.fd < 0) {
    return Status::Error("Cannot save '" + requested + "': cannot create a file in '" + folder +
                         "': " + Reason(errno) + ". The file on disk was not changed.");
  }
  const auto discard = [&temp](int error) {
    if (!temp.name.empty()) ::unlink(temp.name.c_str());
    ::close(temp.fd);
    errno = error;
  };
  // Keep the permissions of the file being replaced; a new file gets the usual 0666 & ~umask.
  if (exists) {
    ::fchmod(temp.fd, old.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(temp.fd, 0666 & ~mask);
  }
  if (!WriteAll(temp.fd, bytes) || ::fsync(temp.fd) != 0 ||
      (temp.name.empty() && !NameTemporaryFile(temp, folder)) ||
      ::rename(temp.name.c_str(), path.c_str()) != 0) {
    const int error = errno;
    discard(error);
    return failed(error);
  }
  // fsync has reported any error of the data; closing after the rename keeps the lock on the
  // temporary name until it is gone.
  ::close(temp.fd);
  // Make the rename itself durable.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return Status::Ok();
}

Status DiskFileAccess::WriteFileOrStream(const std::string& path, const std::string& bytes) {
  const int named = DescriptorNamedBy(path);
  if (named >= 0) {
    const int flags = ::fcntl(named, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
      return Status::Error("Cannot write to '" + path + "': " + Reason(EBADF) + ".");
    }
    return WriteIntoStream(named, path, bytes);
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
    return WriteFileAtomically(path, bytes);
  }
  // Without a reader, opening a named pipe would wait for one: refuse at once instead.
  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENXIO) {
      return Status::Error("Cannot write to '" + path + "': no program is reading from it.");
    }
    return Status::Error("Cannot write to '" + path + "': " + Reason(errno) + ".");
  }
  Status status;
  if (::fstat(fd, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
    status = Status::Error("Cannot write to '" + path + "': " + NotAFile(st.st_mode) + ".");
  } else {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    status = WriteIntoStream(fd, path, bytes);
  }
  ::close(fd);
  return status;
}

FileAccess& DefaultFileAccess() {
  static DiskFileAccess disk;
  return disk;
}

Status AlreadyReadFile::ReadFile(const std::string& path, std::string& bytes, size_t) {
  if (path != m_path || m_taken) return Status::Error("Cannot open '" + path + "' again.");
  m_taken = true;
  bytes.swap(m_bytes);
  return Status::Ok();
}

Status AlreadyReadFile::WriteFileAtomically(const std::string& path, const std::string&) {
  return Status::Error("Cannot save '" + path + "' while it is loaded.");
}

}  // namespace spanlab
