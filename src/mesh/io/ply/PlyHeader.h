#pragma once

#include "base/Status.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The header of a PLY file: its encoding and the elements with their properties, in file order.
struct PlyHeader {
    enum class Encoding { Ascii, BinaryLittleEndian, BinaryBigEndian };
    enum class Type { Int8, Uint8, Int16, Uint16, Int32, Uint32, Float32, Float64 };

    struct Property {
        std::string name;
        Type type = Type::Float32;
        bool isList = false;
        Type countType = Type::Uint8; // lists only
    };
    struct Element {
        std::string name;
        uint64_t count = 0;
        std::vector<Property> properties;
    };

    Encoding encoding = Encoding::Ascii;
    std::vector<Element> elements;
    std::size_t dataOffset = 0; // where the body begins, after "end_header" and its line break

    // Reads the header at the start of `bytes`.
    static Status Parse(std::string_view bytes, PlyHeader& header);
};

// The size in bytes of one binary value of the type.
std::size_t PlyTypeSize(PlyHeader::Type type);
