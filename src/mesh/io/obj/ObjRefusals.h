#pragma once

#include "base/Status.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

// The refusals of a model file, worded as the reader has always worded them.

// Indices are 32-bit, with room to spare for three floats per entry.
constexpr uint64_t kMaxObjCount = std::numeric_limits<int32_t>::max() / 4;

// A refusal of the file. The message goes back to the caller, who shows it once (the command
// line on stderr, the desktop program in a message box).
Status RefuseObj(const std::string& message);

// A v statement of an unknown kind (such as vp).
Status ObjUnknownToken(std::string_view word);

// A file whose text differs between the two readings.
std::string ObjChangedMessage(std::string_view givenPath);

// A file whose mesh breaks what Validate states (`reason`).
std::string ObjInvalidMessage(std::string_view givenPath, std::string_view reason);

// A file with more elements of one kind than a 32-bit index can reach.
std::string ObjTooLargeMessage(std::string_view givenPath);
