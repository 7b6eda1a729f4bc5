#include "mesh/io/ply/PlyHeader.h"

#include <charconv>
#include <optional>

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::optional<PlyHeader::Type> TypeNamed(std::string_view name) {
    using Type = PlyHeader::Type;
    if (name == "char" || name == "int8") {
        return Type::Int8;
    }
    if (name == "uchar" || name == "uint8") {
        return Type::Uint8;
    }
    if (name == "short" || name == "int16") {
        return Type::Int16;
    }
    if (name == "ushort" || name == "uint16") {
        return Type::Uint16;
    }
    if (name == "int" || name == "int32") {
        return Type::Int32;
    }
    if (name == "uint" || name == "uint32") {
        return Type::Uint32;
    }
    if (name == "float" || name == "float32") {
        return Type::Float32;
    }
    if (name == "double" || name == "float64") {
        return Type::Float64;
    }
    return std::nullopt;
}

Status ParseFormat(const std::vector<std::string_view>& words, PlyHeader& header) {
    if (words.size() < 2) {
        return Status::Failure("the PLY header's format line is incomplete");
    }
    if (words[1] == "ascii") {
        header.encoding = PlyHeader::Encoding::Ascii;
    } else if (words[1] == "binary_little_endian") {
        header.encoding = PlyHeader::Encoding::BinaryLittleEndian;
    } else if (words[1] == "binary_big_endian") {
        header.encoding = PlyHeader::Encoding::BinaryBigEndian;
    } else {
        return Status::Failure("unknown PLY format \"" + std::string(words[1]) + "\"");
    }
    return Status::Ok();
}

Status ParseElement(const std::vector<std::string_view>& words, PlyHeader& header) {
    PlyHeader::Element element;
    if (words.size() < 3) {
        return Status::Failure("a PLY element line is incomplete");
    }
    element.name = std::string(words[1]);
    const auto [end, error] =
        std::from_chars(words[2].data(), words[2].data() + words[2].size(), element.count);
    if (error != std::errc() || end != words[2].data() + words[2].size()) {
        return Status::Failure("the PLY element \"" + element.name + "\" has no valid count");
    }
    header.elements.push_back(std::move(element));
    return Status::Ok();
}

Status ParseProperty(const std::vector<std::string_view>& words, PlyHeader& header) {
    if (header.elements.empty()) {
        return Status::Failure("a PLY property comes before any element");
    }
    PlyHeader::Property property;
    const bool isList = words.size() >= 2 && words[1] == "list";
    if (words.size() < (isList ? 5u : 3u)) {
        return Status::Failure("a PLY property line is incomplete");
    }
    const auto type = TypeNamed(words[isList ? 3 : 1]);
    const auto countType = isList ? TypeNamed(words[2]) : std::optional(PlyHeader::Type::Uint8);
    if (!type || !countType) {
        return Status::Failure("a PLY property has an unknown type");
    }
    property.isList = isList;
    property.type = *type;
    property.countType = *countType;
    property.name = std::string(words[isList ? 4 : 2]);
    header.elements.back().properties.push_back(std::move(property));
    return Status::Ok();
}

} // namespace

std::size_t PlyTypeSize(PlyHeader::Type type) {
    switch (type) {
    case PlyHeader::Type::Int8:
    case PlyHeader::Type::Uint8:
        return 1;
    case PlyHeader::Type::Int16:
    case PlyHeader::Type::Uint16:
        return 2;
    case PlyHeader::Type::Int32:
    case PlyHeader::Type::Uint32:
    case PlyHeader::Type::Float32:
        return 4;
    case PlyHeader::Type::Float64:
        return 8;
    }
    return 1;
}

Status PlyHeader::Parse(std::string_view bytes, PlyHeader& header) {
    std::size_t position = 0;
    bool sawFormat = false;
    while (position < bytes.size()) {
        const std::size_t lineEnd = bytes.find('\n', position);
        if (lineEnd == std::string_view::npos) {
            break;
        }
        const std::vector<std::string_view> words =
            Words(bytes.substr(position, lineEnd - position));
        position = lineEnd + 1;
        if (words.empty() || words[0] == "comment" || words[0] == "obj_info" || words[0] == "ply") {
            continue;
        }
        Status status = Status::Ok();
        if (words[0] == "end_header") {
            header.dataOffset = position;
            return sawFormat ? Status::Ok() : Status::Failure("the PLY header has no format line");
        } else if (words[0] == "format") {
            sawFormat = true;
            status = ParseFormat(words, header);
        } else if (words[0] == "element") {
            status = ParseElement(words, header);
        } else if (words[0] == "property") {
            status = ParseProperty(words, header);
        } else {
            status = Status::Failure("unknown PLY header line \"" + std::string(words[0]) + "\"");
        }
        if (!status) {
            return status;
        }
    }
    return Status::Failure("the PLY header does not end (no \"end_header\")");
}
