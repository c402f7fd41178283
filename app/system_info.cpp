#include "app/system_info.h"

#include <sys/statvfs.h>
#include <unistd.h>

namespace spanlab {

std::string PhysicalMemoryLine() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return "Physical Memory = Unavailable";
  const unsigned long long kb =
      static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize) / 1024;
  return "Physical Memory = " + std::to_string(kb) + " KB";
}

std::string FreeDiskSpaceLine(const std::string& folder) {
  struct statvfs fs {};
  if (::statvfs(folder.c_str(), &fs) != 0) return "Unavailable";
  const unsigned long long kb = static_cast<unsigned long long>(fs.f_bavail) *
                                static_cast<unsigned long long>(fs.f_frsize) / 1024;
  return "Free disk space = " + std::to_string(kb) + " KB in " + folder;
}

}  // namespace spanlab
