#pragma once
// The Caps Lock, Num Lock and Scroll Lock states the status bar shows.
#include <QString>
#include <optional>

namespace framework {

struct LockKeys {
  bool caps = false, num = false, scroll = false;
  friend bool operator==(const LockKeys&, const LockKeys&) = default;
};

// The lock indicators as the X server's keyboard extension (XKB) keeps them, asked over the
// connection the program's windows use. Nothing where the program does not run on X11,
// where the server has no such extension or names none of the three indicators.
std::optional<LockKeys> LockKeysFromDisplay();

// The lock keys' LEDs as the kernel reports them under `ledsDir` (entries "…::capslock",
// "…::numlock", "…::scrolllock", each with its "brightness"); off where there are none.
LockKeys LockKeysFromLeds(const QString& ledsDir = QStringLiteral("/sys/class/leds"));

// What the status bar shows: the display server's states, else the LEDs.
LockKeys CurrentLockKeys();

}  // namespace framework
