#include "platform/file_access.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <fcntl.h>
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

}  // namespace

Status FileAccess::ReadFileUpToError(const std::string& path, std::string& bytes,
                                     size_t maxBytes, bool& opened) {
  const Status status = ReadFile(path, bytes, maxBytes);
  opened = status.ok();
  if (!opened) bytes.clear();
  return status;
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
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Status::Error("Cannot open '" + path + "': " + Reason(errno) + ".");
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return Status::Error("Cannot open '" + path + "': it is a folder, not a file.");
  }
  const auto tooLarge = [&] {
    ::close(fd);
    bytes.clear();
    return Status::Error("Cannot open '" + path + "': the file is larger than " +
                         std::to_string(maxBytes >> 20) + " MB.");
  };
  if (st.st_size > 0 && static_cast<unsigned long long>(st.st_size) > maxBytes) return tooLarge();
  // A regular file's size is known: one allocation instead of doubling (twice the memory).
  if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<size_t>(st.st_size));
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
  const std::string folder = FolderOf(path);
  // A short name of its own, so that any valid target name works.
  std::string temp = (folder == "/" ? std::string() : folder) + "/.spanlab-save-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    return Status::Error("Cannot save '" + requested + "': cannot create a file in '" + folder +
                         "': " + Reason(errno) + ". The file on disk was not changed.");
  }
  // Keep the permissions of the file being replaced; a new file gets the usual 0666 & ~umask.
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) {
    ::fchmod(fd, old.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int writeError = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(temp.c_str());
    return Status::Error("Cannot save '" + requested + "': " + Reason(written ? errno : writeError) +
                         ". The file on disk was not changed.");
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return Status::Error("Cannot save '" + requested + "': " + Reason(error) +
                         ". The file on disk was not changed.");
  }
  // Make the rename itself durable.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return Status::Ok();
}

FileAccess& DefaultFileAccess() {
  static DiskFileAccess disk;
  return disk;
}

}  // namespace spanlab
