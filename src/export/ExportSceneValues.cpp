#include "export/ExportSceneValues.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

bool AllFinite(const float* begin, const float* end) {
    return std::all_of(begin, end, [](float value) { return std::isfinite(value); });
}

bool AllFinite(const std::vector<float>& values) {
    return AllFinite(values.data(), values.data() + values.size());
}

Status NotFinite(const std::string& node, const std::string& what) {
    return Status::Failure("\"" + node + "\" has " + what + " that is not a finite number");
}

Status CheckPrimitive(const ExportPrimitive& primitive, const std::string& node) {
    if (!AllFinite(primitive.color.data(), primitive.color.data() + primitive.color.size())) {
        return NotFinite(node, "a colour");
    }
    if (!AllFinite(primitive.positions)) {
        return NotFinite(node, "a vertex position");
    }
    if (!AllFinite(primitive.normals)) {
        return NotFinite(node, "a normal");
    }
    if (!AllFinite(primitive.colors)) {
        return NotFinite(node, "a vertex colour");
    }
    return Status::Ok();
}

} // namespace

Status CheckExportSceneValues(const ExportScene& scene) {
    for (const ExportNode& node : scene.nodes) {
        for (const ExportPrimitive& primitive : node.primitives) {
            if (Status status = CheckPrimitive(primitive, node.name); !status) {
                return status;
            }
        }
    }
    return Status::Ok();
}

float WrittenColorChannel(float channel) {
    return std::clamp(channel, 0.0f, 1.0f);
}
