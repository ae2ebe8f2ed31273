#pragma once

// The state of the Caps Lock, Num Lock and Scroll Lock keys, read from the keyboard lights the
// system shows under /sys/class/leds. Unknown (false) where the system shows none, such as
// under a remote or virtual display.
struct KeyboardLocks {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// Reads the lights at most every quarter second; between reads the last state is returned.
KeyboardLocks CurrentKeyboardLocks();
