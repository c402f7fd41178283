#include "platform/qt_lock_keys.h"

#include <QGuiApplication>

#if defined(SPANLAB_HAVE_XLIB)
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace spanlab {

namespace {

#if defined(SPANLAB_HAVE_XLIB)
// The locked modifiers of the core keyboard: Lock for Caps Lock, and whichever modifier the
// keymap gives Num_Lock (usually Mod2).
class X11LockKeyReader : public LockKeyReader {
 public:
  explicit X11LockKeyReader(Display* display) : display_(display) {
    numMask_ = XkbKeysymToModifiers(display_, XK_Num_Lock);
  }
  std::optional<LockKeys> Read() override {
    XkbStateRec state{};
    if (XkbGetState(display_, XkbUseCoreKbd, &state) != Success) return std::nullopt;
    return LockKeys{(state.locked_mods & LockMask) != 0,
                    numMask_ != 0 && (state.locked_mods & numMask_) != 0};
  }

 private:
  Display* display_;
  unsigned numMask_ = 0;
};
#endif

}  // namespace

std::unique_ptr<LockKeyReader> PlatformLockKeyReader() {
#if defined(SPANLAB_HAVE_XLIB)
  auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!gui) return nullptr;
  if (auto* x11 = gui->nativeInterface<QNativeInterface::QX11Application>()) {
    if (Display* display = x11->display()) return std::make_unique<X11LockKeyReader>(display);
  }
#endif
  return nullptr;
}

}  // namespace spanlab
