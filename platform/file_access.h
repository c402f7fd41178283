// Reading and writing whole files, behind an interface so that tests can make disks fail.
#pragma once

#include <cstddef>
#include <string>

#include "platform/status.h"

namespace spanlab {

class FileAccess {
 public:
  // The largest file a reader takes unless it names a smaller limit. A million-span model is
  // about 40 MB; 128 MiB is three times that, and keeps the memory of a load (about ten times
  // the file at most) below 1.5 GB.
  static constexpr size_t kMaxFileBytes = size_t{128} << 20;

  virtual ~FileAccess() = default;
  // Reads the whole file into `bytes`; refuses files larger than `maxBytes`, and anything that
  // is not a regular file (a folder, named pipe, device or socket) before reading from it.
  virtual Status ReadFile(const std::string& path, std::string& bytes,
                          size_t maxBytes = kMaxFileBytes) = 0;
  // For readers that keep what they got: as ReadFile, but a failure after the file was opened
  // (a read error) leaves in `bytes` what was read before it and sets `opened`. A file that
  // cannot be opened (missing, a folder, too large) leaves `bytes` empty and `opened` false.
  // The default treats every failure as one of opening.
  virtual Status ReadFileUpToError(const std::string& path, std::string& bytes, size_t maxBytes,
                                   bool& opened);
  // Replaces the file with `bytes` so that the old file survives any failure: the bytes go to
  // a temporary file in the same folder, which is flushed to disk and then renamed over the
  // old one. On failure the old file is untouched and no temporary file remains. Refuses a
  // path that names something other than a regular file (a named pipe, a device, a folder).
  virtual Status WriteFileAtomically(const std::string& path, const std::string& bytes) = 0;
  // For outputs a user may send anywhere (reports): a named pipe or a character device
  // (a terminal, /dev/null), and /dev/stdout, /dev/stderr and /dev/fd/N, get the bytes written
  // into them directly; anything else is saved as WriteFileAtomically does. The default saves.
  virtual Status WriteFileOrStream(const std::string& path, const std::string& bytes);
  // Whether `path` names a regular file (through symbolic links) that its permissions do not
  // let this user write: a file marked read-only. A save would still replace it (renaming
  // needs only the folder's permission), so writers ask first. The default: no file is.
  virtual bool IsReadOnlyFile(const std::string& path);
};

// The real file system (POSIX).
//
// A save writes an unnamed temporary file (O_TMPFILE) where the file system allows it, and
// names it only for the moment of the rename; elsewhere it writes a named one. Either way
// the temporary file is locked while this process uses it, and every save first removes
// temporary files of this program's pattern in the target folder that are unlocked and older
// than the running process: what a killed save left behind.
class DiskFileAccess : public FileAccess {
 public:
  // `unnamedTemporaryFiles` false always writes named temporary files (tests of the fallback).
  explicit DiskFileAccess(bool unnamedTemporaryFiles = true)
      : unnamedTemporaryFiles_(unnamedTemporaryFiles) {}
  Status ReadFile(const std::string& path, std::string& bytes, size_t maxBytes) override;
  Status ReadFileUpToError(const std::string& path, std::string& bytes, size_t maxBytes,
                           bool& opened) override;
  Status WriteFileAtomically(const std::string& path, const std::string& bytes) override;
  Status WriteFileOrStream(const std::string& path, const std::string& bytes) override;
  // For the superuser, who may write any file, a file without any write permission bit.
  bool IsReadOnlyFile(const std::string& path) override;

 private:
  bool unnamedTemporaryFiles_;
};

// Hands bytes a caller has already read to a document's load of the same path, so that a file
// is read once: the header the caller looked at is the header of what is loaded, also from a
// file that changes or is replaced meanwhile. The bytes go to the first read of that path (a
// second read, or of another path, fails); nothing is saved. Both references must outlive it.
class AlreadyReadFile : public FileAccess {
 public:
  AlreadyReadFile(const std::string& path, std::string& bytes) : m_path(path), m_bytes(bytes) {}
  Status ReadFile(const std::string& path, std::string& bytes, size_t maxBytes) override;
  Status WriteFileAtomically(const std::string& path, const std::string& bytes) override;

 private:
  const std::string& m_path;
  std::string& m_bytes;
  bool m_taken = false;
};

// The name pattern of temporary save files: this prefix and six letters or digits.
inline constexpr char kTemporarySavePrefix[] = ".spanlab-save-";

// The process-wide disk access, used when a caller supplies none.
FileAccess& DefaultFileAccess();

}  // namespace spanlab
