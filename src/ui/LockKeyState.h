#pragma once

// The keyboard's lock indicators, where the windowing system reports them.
struct LockKeyState {
    bool known = false; // false: the platform does not say (the states below mean nothing)
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// Asks the X server for its Caps Lock, Num Lock and Scroll Lock indicators; `known` stays false on
// other platforms or when the server has no such indicators.
LockKeyState QueryLockKeyState();
