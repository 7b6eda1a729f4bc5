#pragma once

// Keeps GDCM's own debug output, warnings and errors off the standard error stream while it
// lives: library code never prints, and GDCM's failures come back to us as return values.
// GDCM's switches are global; they are put back as they were at the end.
class GdcmQuiet {
public:
    GdcmQuiet();
    ~GdcmQuiet();
    GdcmQuiet(const GdcmQuiet&) = delete;
    GdcmQuiet& operator=(const GdcmQuiet&) = delete;

private:
    bool debug_, warning_, error_;
};
