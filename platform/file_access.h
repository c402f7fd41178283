// Reading and writing whole files, behind an interface so that tests can make disks fail.
#pragma once

#include <cstddef>
#include <string>

#include "platform/status.h"

namespace spanlab {

class FileAccess {
 public:
  static constexpr size_t kMaxFileBytes = size_t{1} << 30;  // 1 GiB: far beyond any model

  virtual ~FileAccess() = default;
  // Reads the whole file into `bytes`; refuses files larger than `maxBytes`.
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
  // old one. On failure the temporary file is removed and the old file is untouched.
  virtual Status WriteFileAtomically(const std::string& path, const std::string& bytes) = 0;
};

// The real file system (POSIX).
class DiskFileAccess : public FileAccess {
 public:
  Status ReadFile(const std::string& path, std::string& bytes, size_t maxBytes) override;
  Status ReadFileUpToError(const std::string& path, std::string& bytes, size_t maxBytes,
                           bool& opened) override;
  Status WriteFileAtomically(const std::string& path, const std::string& bytes) override;
};

// The process-wide disk access, used when a caller supplies none.
FileAccess& DefaultFileAccess();

}  // namespace spanlab
