#include "mesh/io/ply/PlyReader.h"

#include "mesh/io/MeshBuilder.h"
#include "mesh/io/ply/PlyHeader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace {

using Type = PlyHeader::Type;

// Reads the values of the body one at a time, in either encoding; fails at the end of the data
// or on text that is not a number.
class PlyValues {
public:
    PlyValues(std::string_view bodyText, PlyHeader::Encoding bodyEncoding)
        : body(bodyText), encoding(bodyEncoding) {}

    bool Next(Type type, double& value) {
        return encoding == PlyHeader::Encoding::Ascii ? NextText(value) : NextBinary(type, value);
    }
    std::size_t Consumed() const { return position; }
    std::string_view Peek() const { return body.substr(position); }
    void Skip(std::size_t count) { position += count; }
    std::size_t Remaining() const { return body.size() - position; }

    // Whether a list count just read is a whole number of items of `itemType` that the rest of
    // the body can hold, so that no list is sized beyond the bytes there are. An ASCII item
    // takes at least a separator and a digit.
    bool CanHold(double count, Type itemType) const {
        if (!(count >= 0) || count != std::floor(count)) {
            return false;
        }
        if (encoding == PlyHeader::Encoding::Ascii) {
            return 2 * count <= static_cast<double>(Remaining());
        }
        return count * static_cast<double>(PlyTypeSize(itemType)) <=
               static_cast<double>(Remaining());
    }

private:
    bool NextText(double& value) {
        while (position < body.size() && IsSpace(body[position])) {
            ++position;
        }
        const char* begin = body.data() + position;
        const char* end = body.data() + body.size();
        if (begin < end && *begin == '+') {
            ++begin; // from_chars takes no plus sign
        }
        const auto [stop, error] = std::from_chars(begin, end, value);
        if (error != std::errc() || (stop < end && !IsSpace(*stop))) {
            return false;
        }
        position = static_cast<std::size_t>(stop - body.data());
        return true;
    }

    bool NextBinary(Type type, double& value) {
        const std::size_t size = PlyTypeSize(type);
        if (Remaining() < size) {
            return false;
        }
        std::array<unsigned char, 8> raw{};
        std::memcpy(raw.data(), body.data() + position, size);
        position += size;
        if (encoding == PlyHeader::Encoding::BinaryBigEndian) {
            for (std::size_t i = 0; i < size / 2; ++i) {
                std::swap(raw[i], raw[size - 1 - i]);
            }
        }
        value = Decode(type, raw.data());
        return true;
    }

    template <typename T> static double As(const unsigned char* raw) {
        T value;
        std::memcpy(&value, raw, sizeof value);
        return static_cast<double>(value);
    }

    static double Decode(Type type, const unsigned char* raw) {
        switch (type) {
        case Type::Int8:
            return As<int8_t>(raw);
        case Type::Uint8:
            return As<uint8_t>(raw);
        case Type::Int16:
            return As<int16_t>(raw);
        case Type::Uint16:
            return As<uint16_t>(raw);
        case Type::Int32:
            return As<int32_t>(raw);
        case Type::Uint32:
            return As<uint32_t>(raw);
        case Type::Float32:
            return As<float>(raw);
        case Type::Float64:
            return As<double>(raw);
        }
        return 0;
    }

    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    std::string_view body;
    PlyHeader::Encoding encoding;
    std::size_t position = 0;
};

Status Truncated(const PlyHeader::Element& element) {
    return Status::Failure("the PLY data of the element \"" + element.name +
                           "\" is shorter than its header says, or not a number");
}

// The fewest bytes one record can take, so that a count the file cannot hold is refused before
// anything is allocated for it.
std::size_t MinimumRecordSize(const PlyHeader::Element& element, PlyHeader::Encoding encoding) {
    std::size_t size = 0;
    for (const PlyHeader::Property& property : element.properties) {
        if (encoding == PlyHeader::Encoding::Ascii) {
            size += 2;
        } else {
            size += PlyTypeSize(property.isList ? property.countType : property.type);
        }
    }
    return size > 1 ? size - (encoding == PlyHeader::Encoding::Ascii ? 1 : 0) : 1;
}

// The fewest bytes a record of the face element takes when its list makes a triangle: the
// triangles reserved for a face element are as many as the rest of the body can hold.
std::size_t MinimumTriangleFaceSize(const PlyHeader::Element& element,
                                    const PlyHeader::Property& list, PlyHeader::Encoding encoding) {
    const std::size_t corner = encoding == PlyHeader::Encoding::Ascii ? 2 : PlyTypeSize(list.type);
    return MinimumRecordSize(element, encoding) + 3 * corner;
}

// A corner read from a face list names vertex `corner` + 1 only when it is a whole number
// within the vertices read.
bool NamesVertex(double corner, uint64_t vertexCount) {
    return corner >= 0 && corner < static_cast<double>(vertexCount) && corner == std::floor(corner);
}

std::optional<std::size_t> PropertyIndex(const PlyHeader::Element& element,
                                         std::initializer_list<std::string_view> names) {
    for (std::size_t i = 0; i < element.properties.size(); ++i) {
        for (std::string_view name : names) {
            if (!element.properties[i].isList && element.properties[i].name == name) {
                return i;
            }
        }
    }
    return std::nullopt;
}

// Colours stored as integers run up to the type's largest value.
double ColorScale(Type type) {
    switch (type) {
    case Type::Float32:
    case Type::Float64:
        return 1.0;
    case Type::Uint16:
    case Type::Int16:
        return 1.0 / 65535.0;
    default:
        return 1.0 / 255.0;
    }
}

class PlyBodyReader {
public:
    PlyBodyReader(const PlyHeader& fileHeader, std::string_view body, Mesh& mesh,
                  ImportProgress& importProgress)
        : header(fileHeader), values(body, fileHeader.encoding), builder(mesh),
          progress(importProgress), bodySize(body.size()) {}

    Status Read() {
        for (const PlyHeader::Element& element : header.elements) {
            if (element.count > values.Remaining() / MinimumRecordSize(element, header.encoding)) {
                return Truncated(element);
            }
            Status status = element.name == "vertex" ? ReadVertices(element)
                            : element.name == "face" ? ReadFaces(element)
                                                     : SkipRecords(element);
            if (!status) {
                return status;
            }
            if (progress.Cancelled()) {
                return Status::Failure("cancelled");
            }
        }
        if (!sawVertices) {
            return Status::Failure("the PLY file has no vertex element");
        }
        return builder.Finish();
    }

private:
    static constexpr uint64_t kProgressStep = 1 << 16;

    // Reads one record's scalar values into `record`; list properties are read and dropped
    // unless `keepList` is theirs, whose items go to `list`.
    bool ReadRecord(const PlyHeader::Element& element, std::vector<double>& record,
                    std::optional<std::size_t> keepList, std::vector<double>& list) {
        for (std::size_t p = 0; p < element.properties.size(); ++p) {
            const PlyHeader::Property& property = element.properties[p];
            if (!property.isList) {
                if (!values.Next(property.type, record[p])) {
                    return false;
                }
                continue;
            }
            double count = 0;
            if (!values.Next(property.countType, count) || !values.CanHold(count, property.type)) {
                return false;
            }
            const bool keep = keepList && *keepList == p;
            if (keep) {
                list.resize(static_cast<std::size_t>(count));
            }
            for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
                double item = 0;
                if (!values.Next(property.type, item)) {
                    return false;
                }
                if (keep) {
                    list[i] = item;
                }
            }
        }
        return true;
    }

    bool Advance(uint64_t record) {
        if (record % kProgressStep != 0) {
            return true;
        }
        return progress.Report(static_cast<double>(values.Consumed()) /
                               static_cast<double>(bodySize ? bodySize : 1));
    }

    Status ReadVertices(const PlyHeader::Element& element) {
        if (sawVertices) {
            return Status::Failure("the PLY file has two vertex elements");
        }
        sawVertices = true;
        if (element.count > kMaxMeshElements) {
            return Status::Failure("the PLY file has more vertices than can be drawn");
        }
        const auto x = PropertyIndex(element, {"x"});
        const auto y = PropertyIndex(element, {"y"});
        const auto z = PropertyIndex(element, {"z"});
        if (!x || !y || !z) {
            return Status::Failure("the PLY vertices have no x, y and z");
        }
        const auto red = PropertyIndex(element, {"red", "diffuse_red", "r"});
        const auto green = PropertyIndex(element, {"green", "diffuse_green", "g"});
        const auto blue = PropertyIndex(element, {"blue", "diffuse_blue", "b"});
        const auto alpha = PropertyIndex(element, {"alpha", "diffuse_alpha", "a"});
        const auto u = PropertyIndex(element, {"u", "s", "texture_u", "texture_s"});
        const auto v = PropertyIndex(element, {"v", "t", "texture_v", "texture_t"});
        const bool colors = red && green && blue;
        const bool texCoords = u && v;
        vertexCount = element.count;
        builder.Reserve(element.count, 0, colors, texCoords);
        std::vector<double> record(element.properties.size());
        std::vector<double> unusedList;
        const auto scale = [&](std::optional<std::size_t> p) {
            return ColorScale(element.properties[*p].type);
        };
        for (uint64_t i = 0; i < element.count; ++i) {
            if (!ReadRecord(element, record, std::nullopt, unusedList)) {
                return Truncated(element);
            }
            const auto index = static_cast<uint32_t>(i);
            builder.SetVertex(index, static_cast<float>(record[*x]), static_cast<float>(record[*y]),
                              static_cast<float>(record[*z]));
            if (colors) {
                builder.SetColor(index, static_cast<float>(record[*red] * scale(red)),
                                 static_cast<float>(record[*green] * scale(green)),
                                 static_cast<float>(record[*blue] * scale(blue)),
                                 alpha ? static_cast<float>(record[*alpha] * scale(alpha)) : 1.0f);
            }
            if (texCoords) {
                builder.SetTexCoord(index, static_cast<float>(record[*u]),
                                    static_cast<float>(record[*v]));
            }
            if (!Advance(i)) {
                return Status::Ok();
            }
        }
        return Status::Ok();
    }

    std::optional<std::size_t> FaceListIndex(const PlyHeader::Element& element) const {
        for (std::size_t i = 0; i < element.properties.size(); ++i) {
            const PlyHeader::Property& property = element.properties[i];
            if (property.isList &&
                (property.name == "vertex_indices" || property.name == "vertex_index")) {
                return i;
            }
        }
        return std::nullopt;
    }

    // One face of any layout, split into a fan of triangles.
    Status ReadOneFace(const PlyHeader::Element& element, uint64_t i, std::vector<double>& record,
                       std::vector<double>& corners) {
        if (!ReadRecord(element, record, FaceListIndex(element), corners)) {
            return Truncated(element);
        }
        for (double corner : corners) {
            if (!NamesVertex(corner, vertexCount)) {
                return Status::Failure("PLY face " + std::to_string(i + 1) +
                                       " names a vertex that does not exist");
            }
        }
        for (std::size_t c = 2; c < corners.size(); ++c) {
            builder.AddTriangle(static_cast<uint32_t>(corners[0]),
                                static_cast<uint32_t>(corners[c - 1]),
                                static_cast<uint32_t>(corners[c]));
        }
        if (builder.TriangleCount() > kMaxMeshElements) {
            return Status::Failure("the PLY file has more faces than can be drawn");
        }
        return Status::Ok();
    }

    Status ReadFaces(const PlyHeader::Element& element) {
        const auto listIndex = FaceListIndex(element);
        if (!listIndex) {
            return Status::Failure("the PLY faces have no vertex_indices list");
        }
        const std::size_t mostTriangles =
            values.Remaining() /
            MinimumTriangleFaceSize(element, element.properties[*listIndex], header.encoding);
        builder.ReserveTriangles(std::min<uint64_t>(element.count, mostTriangles));
        if (IsPlainBinaryTriangleList(element)) {
            return ReadBinaryTriangles(element);
        }
        std::vector<double> record(element.properties.size());
        std::vector<double> corners;
        for (uint64_t i = 0; i < element.count; ++i) {
            if (Status status = ReadOneFace(element, i, record, corners); !status) {
                return status;
            }
            if (!Advance(i)) {
                return Status::Ok();
            }
        }
        return Status::Ok();
    }

    // The layout nearly every scanner writes: faces that are only a list of 32-bit indices with a
    // one-byte count. Triangles are read straight from the bytes; anything else falls back to the
    // general reading of the same face.
    bool IsPlainBinaryTriangleList(const PlyHeader::Element& element) const {
        if (header.encoding == PlyHeader::Encoding::Ascii || element.properties.size() != 1) {
            return false;
        }
        const PlyHeader::Property& list = element.properties[0];
        return list.isList && list.countType == Type::Uint8 &&
               (list.type == Type::Int32 || list.type == Type::Uint32);
    }

    Status ReadBinaryTriangles(const PlyHeader::Element& element) {
        const bool swap = header.encoding == PlyHeader::Encoding::BinaryBigEndian;
        std::vector<double> record(1);
        std::vector<double> corners;
        for (uint64_t i = 0; i < element.count; ++i) {
            const std::string_view rest = values.Peek();
            uint32_t corner[3];
            if (rest.size() >= 13 && static_cast<unsigned char>(rest[0]) == 3) {
                std::memcpy(corner, rest.data() + 1, sizeof corner);
                if (swap) {
                    for (uint32_t& value : corner) {
                        value = __builtin_bswap32(value);
                    }
                }
                // Read as signed for int32: a negative index is out of range either way.
                if (corner[0] >= vertexCount || corner[1] >= vertexCount ||
                    corner[2] >= vertexCount) {
                    return Status::Failure("PLY face " + std::to_string(i + 1) +
                                           " names a vertex that does not exist");
                }
                builder.AddTriangle(corner[0], corner[1], corner[2]);
                values.Skip(13);
            } else if (Status status = ReadOneFace(element, i, record, corners); !status) {
                return status;
            }
            if (!Advance(i)) {
                return Status::Ok();
            }
        }
        return Status::Ok();
    }

    Status SkipRecords(const PlyHeader::Element& element) {
        std::vector<double> record(element.properties.size());
        std::vector<double> unusedList;
        for (uint64_t i = 0; i < element.count; ++i) {
            if (!ReadRecord(element, record, std::nullopt, unusedList)) {
                return Truncated(element);
            }
            if (!Advance(i)) {
                return Status::Ok();
            }
        }
        return Status::Ok();
    }

    const PlyHeader& header;
    PlyValues values;
    MeshBuilder builder;
    ImportProgress& progress;
    std::size_t bodySize;
    uint64_t vertexCount = 0;
    bool sawVertices = false;
};

} // namespace

Status ReadPly(std::string_view bytes, Mesh& mesh, ImportProgress& progress) {
    PlyHeader header;
    if (Status status = PlyHeader::Parse(bytes, header); !status) {
        return status;
    }
    PlyBodyReader reader(header, bytes.substr(header.dataOffset), mesh, progress);
    return reader.Read();
}
