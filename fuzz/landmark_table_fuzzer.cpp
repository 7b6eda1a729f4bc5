// Feeds arbitrary bytes to the landmark table reader, then uses whatever table it gave as the
// report and the view do: no input may crash or overrun anything, and a table that reads holds
// only named landmarks at finite positions.
#include "body/LandmarkTable.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    LandmarkTable table;
    if (!LandmarkTable::Parse(text, table)) {
        if (!table.IsEmpty()) {
            __builtin_trap(); // a failed read leaves the table as it was
        }
        return 0;
    }
    for (const Landmark& landmark : table.GetLandmarks()) {
        const Vec3& p = landmark.position;
        if (landmark.name.empty() || !std::isfinite(p.x) || !std::isfinite(p.y) ||
            !std::isfinite(p.z)) {
            __builtin_trap();
        }
    }
    const LandmarkTable scaled = table.Scaled(1.5, 0.8, 0.5);
    if (scaled.GetLandmarks().size() != table.GetLandmarks().size()) {
        __builtin_trap();
    }
    const Landmark* nearest = scaled.Nearest({0.1, 1.2, 0.1});
    if ((nearest == nullptr) != scaled.IsEmpty()) {
        __builtin_trap();
    }
    return 0;
}
