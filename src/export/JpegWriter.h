#pragma once

#include "export/CapturedImage.h"

#include <cstdint>
#include <string>
#include <vector>

// Writes the bitmap as a baseline JPEG file at the given quality (0..100). Returns true when the
// file was written without error; otherwise `errorText` says why ("Invalid input data",
// "Cannot open <file>: <reason>", "Cannot write <file>: <reason>", "\"<file>\" is read-only.",
// "Invalid bitmap bit count", or the encoder's own message). An encoder error never ends the
// process, and a failed write leaves whatever stood at the file before.
bool WriteJpeg(const CapturedImage* dib, int quality, const std::string& fileName,
               std::string& errorText);

// Converts the bitmap into rows of red, green, blue bytes, top row first, each `rowLength` bytes
// (at least width * 3). Returns false with "Invalid input data" or "Invalid bitmap bit count".
bool ToRgbRows(const CapturedImage* dib, std::size_t rowLength,
               std::vector<std::vector<uint8_t>>& rows, std::string& errorText);
