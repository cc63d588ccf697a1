#include "framework/LockKeys.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>

#if defined(QUILLON_HAVE_XKB) && QT_CONFIG(xcb)
#define QUILLON_ASK_XKB 1
// The X11 headers come last: they define macros (None, Bool, Status) that clash with Qt's names.
#include <X11/XKBlib.h>
#endif

namespace {

#ifdef QUILLON_ASK_XKB

Display* X11Display() {
  auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (application == nullptr) {
    return nullptr;
  }
  auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->display() : nullptr;
}

// The indicator bit of a named keyboard light ("Caps Lock"), or 0 when the keyboard has none.
unsigned int IndicatorBit(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  int index = -1;
  if (atom == 0 || !XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr) ||
      index < 0 || index >= XkbNumIndicators) {
    return 0;
  }
  return 1U << static_cast<unsigned int>(index);
}

// The bits of the three lights, looked up once per display.
struct IndicatorBits {
  Display* display = nullptr;
  unsigned int capsLock = 0;
  unsigned int numLock = 0;
  unsigned int scrollLock = 0;
};

const IndicatorBits& BitsFor(Display* display) {
  static IndicatorBits bits;
  if (bits.display != display) {
    bits.display = display;
    bits.capsLock = IndicatorBit(display, "Caps Lock");
    bits.numLock = IndicatorBit(display, "Num Lock");
    bits.scrollLock = IndicatorBit(display, "Scroll Lock");
  }
  return bits;
}

LockKeyState ReadFromWindowSystem() {
  LockKeyState state;
  Display* display = X11Display();
  unsigned int lit = 0;
  if (display == nullptr || XkbGetIndicatorState(display, XkbUseCoreKbd, &lit) != Success) {
    return state;
  }
  const IndicatorBits& bits = BitsFor(display);
  state.known = true;
  state.capsLock = (lit & bits.capsLock) != 0;
  state.numLock = (lit & bits.numLock) != 0;
  state.scrollLock = (lit & bits.scrollLock) != 0;
  return state;
}

#else

LockKeyState ReadFromWindowSystem() {
  return {};
}

#endif

LockKeySource lockKeySource = nullptr;

}  // namespace

LockKeyState ReadLockKeys() {
  return lockKeySource != nullptr ? lockKeySource() : ReadFromWindowSystem();
}

void SetLockKeySource(LockKeySource source) {
  lockKeySource = source;
}
