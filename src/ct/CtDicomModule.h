#pragma once

#include "base/Status.h"
#include "ct/CtSliceScan.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The DICOM reading that needs GDCM lives in a module of its own (libruvo_ctdicom.so), loaded
// the first time a series is read: GDCM fills its data dictionaries when it is loaded, which
// took most of the program's start-up, and most runs never read a series.

// What the module gives, by the module's own functions (see ctdicom/).
struct CtDicomFunctions {
    Status (*scanFolder)(const std::filesystem::path& folder, std::vector<CtScannedSlice>& all);
    Status (*decodeSlice)(const CtScannedSlice& slice, std::vector<char>& buffer, int16_t* out,
                          long long& clamped);
};

// Changes whenever CtDicomFunctions or the types it passes change: a module built from other
// sources than the program refuses to be used rather than be called wrongly.
inline constexpr uint32_t kCtDicomInterface = 1;

// The module's one exported function: its functions for `interfaceVersion`, or nullptr when it
// was built for another.
extern "C" {
using CtDicomEntry = const CtDicomFunctions* (*)(uint32_t interfaceVersion);
}
inline constexpr char kCtDicomEntryName[] = "RuvoCtDicomFunctions";

// The module's functions, loaded once per process (safe from any thread); nullptr with the
// reason, worded for the user, when the module cannot be found or loaded.
const CtDicomFunctions* LoadCtDicomModule(std::string& reason);
