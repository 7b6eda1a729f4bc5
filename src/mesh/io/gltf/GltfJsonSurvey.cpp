#include "mesh/io/gltf/GltfJsonSurvey.h"

#include <string>

Status GltfJsonSurvey::Check(std::string_view json, const ImportBudget& budget) {
    int depth = 0;
    uint64_t objects = 0;
    uint64_t values = 1;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i; // the escaped character cannot end the string
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            break;
        case '{':
            ++objects;
            [[fallthrough]];
        case '[':
            if (++depth > kMaxDepth) {
                return Status::Failure("the glTF file nests its values more than " +
                                       std::to_string(kMaxDepth) + " deep");
            }
            break;
        case '}':
        case ']':
            --depth;
            break;
        case ',':
        case ':':
            ++values;
            break;
        default:
            break;
        }
    }
    const uint64_t cost = objects * kBytesPerObject + values * kBytesPerValue;
    if (!budget.Allows(cost)) {
        return Status::Failure(budget.TooLarge("the glTF description", cost));
    }
    return Status::Ok();
}
