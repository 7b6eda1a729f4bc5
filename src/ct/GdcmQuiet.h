#pragma once

// Keeps GDCM's own warnings and errors off the standard error stream while it lives: library
// code reports through its return values, and GDCM's failures come back to us as such.
class GdcmQuiet {
public:
    GdcmQuiet();
    ~GdcmQuiet();
    GdcmQuiet(const GdcmQuiet&) = delete;
    GdcmQuiet& operator=(const GdcmQuiet&) = delete;
};
