// The caps, num and scroll lock keys as the window system reports them, for the status bar's
// keyboard indicators.
#pragma once

struct LockKeyState {
  bool known = false;  // false where the window system cannot be asked: every key reads as off
  bool capsLock = false;
  bool numLock = false;
  bool scrollLock = false;
};

// Asks the window system for the lock keys' state: on X11 through the keyboard extension (one
// request), elsewhere nothing is known. Needs a running QGuiApplication to ask anything.
LockKeyState ReadLockKeys();

// For tests only: ReadLockKeys returns what `source` says instead of asking the window system, so
// the indicators can be checked without a keyboard; null asks the window system again.
using LockKeySource = LockKeyState (*)();
void SetLockKeySource(LockKeySource source);
