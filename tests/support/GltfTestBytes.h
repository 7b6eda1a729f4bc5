#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

// Small glTF files built in code for the reader's tests: a buffer's bytes, its data URI, and the
// binary frame around a JSON text.
namespace gltf_test {

inline std::string Base64(std::string_view bytes) {
    static const char* const kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t chunk = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) {
            chunk |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (i + 2 < bytes.size()) {
            chunk |= static_cast<unsigned char>(bytes[i + 2]);
        }
        text += kDigits[(chunk >> 18) & 63];
        text += kDigits[(chunk >> 12) & 63];
        text += i + 1 < bytes.size() ? kDigits[(chunk >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kDigits[chunk & 63] : '=';
    }
    return text;
}

inline std::string DataUri(std::string_view bytes) {
    return "data:application/octet-stream;base64," + Base64(bytes);
}

template <typename T> std::string Bytes(std::initializer_list<T> values) {
    std::string bytes;
    for (T value : values) {
        char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof raw);
        bytes.append(raw, sizeof raw);
    }
    return bytes;
}

inline std::string Word(uint32_t value) {
    return Bytes<uint32_t>({value});
}

// A binary glTF file: header, JSON chunk (padded with spaces) and, when given, a BIN chunk
// (padded with zeros).
inline std::string Glb(std::string json, std::string bin = {}) {
    while (json.size() % 4 != 0) {
        json += ' ';
    }
    while (bin.size() % 4 != 0) {
        bin += '\0';
    }
    const std::size_t total = 12 + 8 + json.size() + (bin.empty() ? 0 : 8 + bin.size());
    std::string file = "glTF" + Word(2) + Word(static_cast<uint32_t>(total));
    file += Word(static_cast<uint32_t>(json.size())) + "JSON" + json;
    if (!bin.empty()) {
        file += Word(static_cast<uint32_t>(bin.size())) + std::string("BIN\0", 4) + bin;
    }
    return file;
}

// One triangle: three float positions (36 bytes), then its indices as three uint16 (6 bytes).
inline std::string TriangleBuffer() {
    return Bytes<float>({0, 0, 0, 1, 0, 0, 0, 1, 0}) + Bytes<uint16_t>({0, 1, 2});
}

// The accessors, views and buffer of TriangleBuffer() as JSON members, with the buffer given by
// `uri` (empty: a binary file's own chunk). Mesh 0 is the triangle; a node list is the caller's.
inline std::string TriangleParts(const std::string& uri) {
    const std::string buffer =
        uri.empty() ? R"({"byteLength":42})" : R"({"byteLength":42,"uri":")" + uri + "\"}";
    return R"("asset":{"version":"2.0"},"buffers":[)" + buffer +
           R"(],"bufferViews":[{"buffer":0,"byteLength":36},)"
           R"({"buffer":0,"byteOffset":36,"byteLength":6}],)"
           R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3"},)"
           R"({"bufferView":1,"componentType":5123,"count":3,"type":"SCALAR"}],)"
           R"("meshes":[{"name":"tri","primitives":[{"attributes":{"POSITION":0},"indices":1}]}])";
}

} // namespace gltf_test
