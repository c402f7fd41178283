// Facts about the machine for the About box.
#pragma once

#include <string>

namespace spanlab {

// "Physical Memory = 16314560 KB", or "Physical Memory = Unavailable".
std::string PhysicalMemoryLine();
// "Free disk space = 52428800 KB in /home/user/models" for the file system holding `folder`,
// or "Unavailable" when it cannot be queried.
std::string FreeDiskSpaceLine(const std::string& folder);

}  // namespace spanlab
