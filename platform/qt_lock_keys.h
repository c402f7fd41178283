// The Caps Lock and Num Lock state for the status bar's CAP and NUM panes, as the window
// system reports it. X11 reports it; other platforms (offscreen, Wayland) do not, and there the
// panes are not shown.
#pragma once

#include <memory>
#include <optional>

namespace spanlab {

struct LockKeys {
  bool caps = false;
  bool num = false;
  bool operator==(const LockKeys&) const = default;
};

class LockKeyReader {
 public:
  virtual ~LockKeyReader() = default;
  // The keys' state now; nullopt when the platform does not say.
  virtual std::optional<LockKeys> Read() = 0;
};

// The reader of the platform the application runs on (X11), or nullptr when it reports no lock
// keys. Needs the application object.
std::unique_ptr<LockKeyReader> PlatformLockKeyReader();

}  // namespace spanlab
