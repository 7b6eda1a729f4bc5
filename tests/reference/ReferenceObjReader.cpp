#include "ReferenceObjReader.h"

#include "base/Diagnostics.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Indices are 32-bit and each array holds three floats per element plus the unused entry 0, so
// no kind of element may number more than this.
constexpr uint64_t kMostElements = std::numeric_limits<int32_t>::max() / 4;

// Indices are kept exactly up to thirteen digits, far beyond any count; a longer one only ever
// appears in a refusal, as this value.
constexpr unsigned long long kIndexDigitsLimit = 10'000'000'000'000ULL;
constexpr long long kLongIndex = 1'000'000'000'000LL;

bool IsLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// Blanks within a line.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool IsBlank(char c) {
    return IsSpace(c) || IsLineBreak(c);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the characters from `at` on that pass `test` end.
template <typename Test> std::size_t Skip(std::string_view text, std::size_t at, Test test) {
    while (at < text.size() && test(text[at])) {
        ++at;
    }
    return at;
}

// A face corner starts with a digit, or with a sign and a digit.
bool StartsLikeCorner(std::string_view word) {
    const std::size_t sign = !word.empty() && (word[0] == '+' || word[0] == '-') ? 1 : 0;
    return word.size() > sign && IsDigit(word[sign]);
}

// Whether `text` starts with the letters of `lowerCase`, in either case (whatever the locale).
bool StartsWithLetters(std::string_view text, std::string_view lowerCase) {
    return text.size() >= lowerCase.size() &&
           std::equal(lowerCase.begin(), lowerCase.end(), text.begin(),
                      [](char lower, char c) { return c == lower || c == lower - 'a' + 'A'; });
}

bool IsNanPayloadCharacter(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// The C library converts the digits (a second opinion on the rounding, independent of the
// program's own conversion); the point is given as the current locale writes it.
float ConvertDecimal(std::string_view number) {
    const std::string_view point = std::localeconv()->decimal_point;
    std::string text;
    text.reserve(number.size() + point.size());
    for (const char c : number) {
        text += c == '.' ? point : std::string_view(&c, 1);
    }
    return std::strtof(text.c_str(), nullptr);
}

// Reads a number at the start of `text` as the C library reads "%f": an optional sign, digits
// with an optional point and an optional exponent, or inf, infinity, nan and nan(...) in any
// case. Hexadecimal numbers are not read: "0x8" is the number 0 followed by "x8". A NaN carries
// no payload. Returns the characters used, 0 when there is no number.
std::size_t ReadNumber(std::string_view text, float& value) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        i = 1;
    }
    const std::string_view body = text.substr(i);
    if (StartsWithLetters(body, "inf")) {
        const float infinity = std::numeric_limits<float>::infinity();
        value = negative ? -infinity : infinity;
        return i + (StartsWithLetters(body, "infinity") ? 8 : 3);
    }
    if (StartsWithLetters(body, "nan")) {
        value = std::copysign(std::numeric_limits<float>::quiet_NaN(), negative ? -1.0f : 1.0f);
        const std::size_t close =
            body.size() > 3 && body[3] == '(' ? Skip(body, 4, IsNanPayloadCharacter) : body.size();
        return i + (close < body.size() && body[close] == ')' ? close + 1 : 3);
    }
    const std::size_t wholeEnd = Skip(text, i, IsDigit);
    std::size_t digits = wholeEnd - i;
    i = wholeEnd;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionEnd = Skip(text, i + 1, IsDigit);
        digits += fractionEnd - (i + 1);
        i = fractionEnd;
    }
    if (digits == 0) {
        return 0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const std::size_t sign = i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-');
        const std::size_t exponentEnd = Skip(text, i + 1 + sign, IsDigit);
        if (exponentEnd > i + 1 + sign) {
            i = exponentEnd; // an exponent without digits is not part of the number
        }
    }
    value = ConvertDecimal(text.substr(0, i));
    return i;
}

// Reads an optionally signed decimal index from `word` at `at` and moves `at` past it; false
// (nothing changed) when no digit follows.
bool ReadIndex(std::string_view word, std::size_t& at, long long& value) {
    if (!StartsLikeCorner(word.substr(at))) {
        return false;
    }
    const bool negative = word[at] == '-';
    std::size_t i = at + (word[at] == '+' || negative ? 1 : 0);
    unsigned long long magnitude = 0;
    for (; i < word.size() && IsDigit(word[i]); ++i) {
        if (magnitude < kIndexDigitsLimit) {
            magnitude = magnitude * 10 + static_cast<unsigned>(word[i] - '0');
        }
    }
    const long long held =
        magnitude >= kIndexDigitsLimit ? kLongIndex : static_cast<long long>(magnitude);
    value = negative ? -held : held;
    at = i;
    return true;
}

bool ReadSlash(std::string_view word, std::size_t& at) {
    if (at < word.size() && word[at] == '/') {
        ++at;
        return true;
    }
    return false;
}

// Which indices the corners of a face carry; the face's first corner decides.
enum class CornerForm { Vertex, VertexTexture, VertexTextureNormal, VertexNormal };

CornerForm FormOf(std::string_view firstCorner) {
    if (firstCorner.find("//") != std::string_view::npos) {
        return CornerForm::VertexNormal;
    }
    std::size_t at = 0;
    long long ignored = 0;
    if (!ReadIndex(firstCorner, at, ignored) || !ReadSlash(firstCorner, at) ||
        !ReadIndex(firstCorner, at, ignored)) {
        return CornerForm::Vertex;
    }
    return ReadSlash(firstCorner, at) && ReadIndex(firstCorner, at, ignored)
               ? CornerForm::VertexTextureNormal
               : CornerForm::VertexTexture;
}

bool HasTexture(CornerForm form) {
    return form == CornerForm::VertexTexture || form == CornerForm::VertexTextureNormal;
}

bool HasNormal(CornerForm form) {
    return form == CornerForm::VertexNormal || form == CornerForm::VertexTextureNormal;
}

// A corner's indices as written: 1-based, or negative to count back.
struct WrittenCorner {
    long long vertex = 0;
    long long texture = 0;
    long long normal = 0;
};

// Reads the indices the face's form asks for; those the word does not give (or gives in another
// form) keep the values already in `corner`, which are the previous corner's.
void ReadCorner(std::string_view word, CornerForm form, WrittenCorner& corner) {
    std::size_t at = 0;
    ReadIndex(word, at, corner.vertex);
    if (form == CornerForm::VertexTexture && ReadSlash(word, at)) {
        ReadIndex(word, at, corner.texture);
    } else if (form == CornerForm::VertexNormal && ReadSlash(word, at) && ReadSlash(word, at)) {
        ReadIndex(word, at, corner.normal);
    } else if (form == CornerForm::VertexTextureNormal && ReadSlash(word, at) &&
               ReadIndex(word, at, corner.texture) && ReadSlash(word, at)) {
        ReadIndex(word, at, corner.normal);
    }
}

// Walks Wavefront text word by word. Every statement is its first word and the rest of its line;
// only a face's corners may go on over the following lines.
class Words {
public:
    explicit Words(std::string_view text) : text_(text) {}

    // The next word, after any blanks and line breaks; empty at the end of the text.
    std::string_view Next() {
        const std::size_t start = Skip(text_, at_, IsBlank);
        at_ = Skip(text_, start, [](char c) { return !IsBlank(c); });
        return text_.substr(start, at_ - start);
    }

    // The next word when it starts like a face corner, on this line or a later one.
    std::optional<std::string_view> NextCorner() {
        const std::size_t before = at_;
        const std::string_view word = Next();
        if (StartsLikeCorner(word)) {
            return word;
        }
        at_ = before;
        return std::nullopt;
    }

    // The rest of the current line without its line break; reading goes on after the break
    // (after the CR of a CR LF, the LF then being a blank).
    std::string_view RestOfLine() {
        const std::size_t start = at_;
        const std::size_t end = Skip(text_, start, [](char c) { return !IsLineBreak(c); });
        at_ = std::min(end + 1, text_.size());
        return text_.substr(start, end - start);
    }

    // A number further on the current line, after blanks but never past a line break.
    bool NumberOnLine(float& value) {
        const std::size_t start = Skip(text_, at_, IsSpace);
        const std::size_t used = ReadNumber(text_.substr(start), value);
        if (used == 0) {
            return false;
        }
        at_ = start + used;
        return true;
    }

    // Up to `count` numbers into `values`; those the line lacks stay as they are.
    void NumbersOnLine(float* values, int count) {
        for (int i = 0; i < count && NumberOnLine(values[i]); ++i) {
        }
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// mtllib, usemtl and newmtl take the first word of the rest of their line, or the second word
// when there is one.
std::string_view NameIn(std::string_view restOfLine) {
    Words words(restOfLine);
    const std::string_view first = words.Next();
    const std::string_view second = words.Next();
    return second.empty() ? first : second;
}

// A lone CR ends a line, and so does an LF that does not follow a CR.
std::size_t LineNumberAt(std::string_view text, std::size_t offset) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))) {
            ++line;
        }
    }
    return line;
}

// "default" first, then one material per newmtl statement. Colour statements before the first
// newmtl change "default"; shininess is given on a 0..1000 scale and kept on OpenGL's 0..128.
std::vector<MeshMaterial> ReadLibraryText(std::string_view text) {
    std::vector<MeshMaterial> materials(1);
    materials[0].name = "default";
    Words words(text);
    for (std::string_view word = words.Next(); !word.empty(); word = words.Next()) {
        if (word[0] == 'n') {
            materials.emplace_back().name = std::string(NameIn(words.RestOfLine()));
            continue;
        }
        MeshMaterial& material = materials.back();
        if (word[0] == 'N') {
            float value = 0;
            if (words.NumberOnLine(value)) {
                material.shininess =
                    static_cast<float>(static_cast<double>(value) / 1000.0 * 128.0);
            }
        } else if (word[0] == 'K' && word.size() > 1) {
            float* colour = word[1] == 'd'   ? material.diffuse.data()
                            : word[1] == 'a' ? material.ambient.data()
                            : word[1] == 's' ? material.specular.data()
                                             : nullptr;
            if (colour) {
                words.NumbersOnLine(colour, 3);
            }
        }
        words.RestOfLine();
    }
    return materials;
}

struct Kind {
    const char* one;
    const char* many;
};
constexpr Kind kVertexKind{"vertex", "vertices"};
constexpr Kind kTextureKind{"texture coordinate", "texture coordinates"};
constexpr Kind kNormalKind{"normal", "normals"};

class ReferenceReader {
public:
    ReferenceReader(std::string_view text, const std::string& path, const MtlTextSource& source)
        : text_(text), givenPath_(path), source_(source), mesh_(std::make_unique<Mesh>()) {
        mesh_->path = path;
        std::replace(mesh_->path.begin(), mesh_->path.end(), '\\', '/');
    }

    ObjReadResult Read() {
        ObjReadResult result;
        if (!Survey() || !Fill()) {
            result.error = std::move(error_);
            return result;
        }
        ComputeBoxes();
        mesh_->revision = NextMeshRevision();
        result.mesh = std::move(mesh_);
        return result;
    }

private:
    bool Refuse(std::string message) {
        error_ = std::move(message);
        return false;
    }

    bool TooLarge() {
        return Refuse("Read Obj failed: \"" + givenPath_ +
                      "\" holds more elements than the reader can index.");
    }

    uint32_t GroupNamed(std::string_view name) {
        if (const auto found = groupNumbers_.find(name); found != groupNumbers_.end()) {
            return found->second;
        }
        const auto number = static_cast<uint32_t>(groups_.size());
        groups_.emplace_back().name = std::string(name);
        groupTriangles_.push_back(0);
        groupNumbers_.emplace(std::string(name), number);
        return number;
    }

    bool ReadLibrary(std::string_view name) {
        const std::size_t slash = mesh_->path.rfind('/');
        const std::string file =
            (slash == std::string::npos ? std::string() : mesh_->path.substr(0, slash + 1)) +
            std::string(name);
        const std::optional<std::string> text = source_ ? source_(file).text : std::nullopt;
        if (!text) {
            return Refuse("glmReadMTL() failed: can't open material file \"" + file + "\".");
        }
        mesh_->materials = ReadLibraryText(*text);
        // The first material of each name, for the lookups of usemtl.
        materialNumbers_.clear();
        for (std::size_t i = 0; i < mesh_->materials.size(); ++i) {
            materialNumbers_.emplace(mesh_->materials[i].name, static_cast<uint32_t>(i));
        }
        return true;
    }

    // The first walk: counts every kind of element, creates the groups with the number of
    // triangles each will receive, and reads the material libraries as they are named.
    bool Survey() {
        Words words(text_);
        uint64_t vertices = 0, normals = 0, textures = 0, triangles = 0;
        uint32_t group = GroupNamed("default");
        for (std::string_view word = words.Next(); !word.empty(); word = words.Next()) {
            if (word[0] == 'f') {
                uint64_t corners = 0;
                while (words.NextCorner()) {
                    ++corners;
                }
                const uint64_t made = corners > 3 ? corners - 2 : 1;
                triangles += made;
                groupTriangles_[group] += made;
                if (triangles > kMostElements) {
                    return TooLarge();
                }
                continue;
            }
            if (word[0] == 'm') {
                if (!ReadLibrary(NameIn(words.RestOfLine()))) {
                    return false;
                }
                continue;
            }
            if (word[0] == 'u') {
                group = GroupNamed(NameIn(words.RestOfLine()));
                continue;
            }
            if (word[0] == 'v') {
                if (word.size() == 1) {
                    ++vertices;
                } else if (word[1] == 'n') {
                    ++normals;
                } else if (word[1] == 't') {
                    ++textures;
                } else {
                    return Refuse("glmFirstPass(): Unknown token \"" + std::string(word) + "\".");
                }
            }
            words.RestOfLine();
        }
        if (vertices > kMostElements || normals > kMostElements || textures > kMostElements) {
            return TooLarge();
        }
        totals_ = {static_cast<uint32_t>(vertices), static_cast<uint32_t>(normals),
                   static_cast<uint32_t>(textures), static_cast<uint32_t>(triangles)};
        return true;
    }

    // The second walk: reads the coordinates and the faces into arrays sized by the survey.
    bool Fill() {
        Mesh& mesh = *mesh_;
        mesh.positions.reserve(totals_.vertices);
        mesh.normals.reserve(totals_.normals);
        mesh.texCoords.reserve(totals_.textures);
        mesh.triangles.reserve(totals_.triangles);
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            groups_[g].triangleIndices.reserve(static_cast<std::size_t>(groupTriangles_[g]));
        }

        Words words(text_);
        uint32_t group = 0; // "default"
        for (std::string_view word = words.Next(); !word.empty(); word = words.Next()) {
            if (word[0] == 'f') {
                const auto faceOffset = static_cast<std::size_t>(word.data() - text_.data());
                if (!FillFace(words, groups_[group], faceOffset)) {
                    return false;
                }
                continue;
            }
            if (word[0] == 'u') {
                const std::string_view name = NameIn(words.RestOfLine());
                group = groupNumbers_.find(name)->second;
                groups_[group].material = MaterialNamed(name);
                continue;
            }
            if (word[0] == 'v') {
                float numbers[3] = {0.0f, 0.0f, 0.0f};
                if (word.size() > 1 && word[1] == 't') {
                    words.NumbersOnLine(numbers, 2);
                    mesh.texCoords.push_back({numbers[0], numbers[1]});
                } else {
                    words.NumbersOnLine(numbers, 3);
                    (word.size() == 1 ? mesh.positions : mesh.normals)
                        .push_back({numbers[0], numbers[1], numbers[2]});
                }
            }
            words.RestOfLine();
        }

        mesh.groups = std::move(groups_);
        return true;
    }

    uint32_t MaterialNamed(std::string_view name) {
        if (const auto found = materialNumbers_.find(name); found != materialNumbers_.end()) {
            return found->second;
        }
        ReportDiagnostic("glmFindMaterial():  can't find material \"" + std::string(name) + "\".");
        return 0;
    }

    // Positive indices count from the file's first element as 1, negative ones back from the
    // last element read before the face; an index that names no element refuses the file. The
    // mesh counts from 0.
    bool Resolve(long long written, uint32_t readBefore, uint32_t total, const Kind& kind,
                 std::size_t faceOffset, uint32_t& index) {
        const long long resolved = written < 0 ? readBefore + 1LL + written : written;
        if (written != 0 && resolved >= 1 && resolved <= total) {
            index = static_cast<uint32_t>(resolved - 1);
            return true;
        }
        std::string message = "Read Obj failed: line " +
                              std::to_string(LineNumberAt(text_, faceOffset)) + " of \"" +
                              givenPath_ + "\" names " + kind.one + " " + std::to_string(written);
        if (written == 0) {
            message += ", but indices start at 1.";
        } else if (written < 0) {
            message +=
                ", but only " + std::to_string(readBefore) + " " + kind.many + " come before it.";
        } else {
            message += ", but the file has " + std::to_string(total) + " " + kind.many + ".";
        }
        return Refuse(std::move(message));
    }

    struct Corner {
        uint32_t vertex = kNoIndex, texture = kNoIndex, normal = kNoIndex;
    };

    // Reads the corners after an "f" and splits the face into the fan (c1, ck-1, ck). A face of
    // fewer than three corners repeats its last corner; one with none names vertex 0.
    bool FillFace(Words& words, MeshGroup& group, std::size_t faceOffset) {
        Mesh& mesh = *mesh_;
        written_.clear();
        CornerForm form = CornerForm::Vertex;
        WrittenCorner corner;
        while (const std::optional<std::string_view> word = words.NextCorner()) {
            if (written_.empty()) {
                form = FormOf(*word);
            }
            ReadCorner(*word, form, corner);
            written_.push_back(corner);
        }
        if (written_.empty()) {
            written_.emplace_back();
        }
        while (written_.size() < 3) {
            written_.push_back(written_.back());
        }
        const auto verticesBefore = static_cast<uint32_t>(mesh.positions.size());
        const auto normalsBefore = static_cast<uint32_t>(mesh.normals.size());
        const auto texturesBefore = static_cast<uint32_t>(mesh.texCoords.size());
        corners_.assign(written_.size(), Corner());
        for (std::size_t k = 0; k < written_.size(); ++k) {
            const WrittenCorner& w = written_[k];
            Corner& c = corners_[k];
            if (!Resolve(w.vertex, verticesBefore, totals_.vertices, kVertexKind, faceOffset,
                         c.vertex) ||
                (HasTexture(form) && !Resolve(w.texture, texturesBefore, totals_.textures,
                                              kTextureKind, faceOffset, c.texture)) ||
                (HasNormal(form) && !Resolve(w.normal, normalsBefore, totals_.normals, kNormalKind,
                                             faceOffset, c.normal))) {
                return false;
            }
        }
        for (std::size_t k = 2; k < corners_.size(); ++k) {
            const Corner* fan[3] = {&corners_[0], &corners_[k - 1], &corners_[k]};
            MeshTriangle triangle;
            for (int i = 0; i < 3; ++i) {
                triangle.position[i] = fan[i]->vertex;
                triangle.texCoord[i] = fan[i]->texture;
                triangle.normal[i] = fan[i]->normal;
            }
            group.triangleIndices.push_back(static_cast<uint32_t>(mesh.triangles.size()));
            mesh.triangles.push_back(triangle);
        }
        return true;
    }

    // A group's box: its first corner sets all six values, even to a NaN, which then stays; every
    // later corner widens the box only where it lies strictly beyond, so of 0 and -0 the first
    // met stays. The mesh box starts at the origin and takes each group's values that lie
    // strictly beyond it.
    void ComputeBoxes() {
        Mesh& mesh = *mesh_;
        mesh.box = {0, 0, 0, 0, 0, 0};
        for (MeshGroup& group : mesh.groups) {
            group.box = {0, 0, 0, 0, 0, 0};
            bool first = true;
            for (const uint32_t t : group.triangleIndices) {
                for (const uint32_t v : mesh.triangles[t].position) {
                    const Vec3f& p = mesh.positions[v];
                    for (int axis = 0; axis < 3; ++axis) {
                        if (first || p[axis] < group.box[axis]) {
                            group.box[axis] = p[axis];
                        }
                        if (first || p[axis] > group.box[axis + 3]) {
                            group.box[axis + 3] = p[axis];
                        }
                    }
                    first = false;
                }
            }
            for (int axis = 0; axis < 3; ++axis) {
                if (group.box[axis] < mesh.box[axis]) {
                    mesh.box[axis] = group.box[axis];
                }
                if (group.box[axis + 3] > mesh.box[axis + 3]) {
                    mesh.box[axis + 3] = group.box[axis + 3];
                }
            }
        }
    }

    std::string_view text_;
    const std::string& givenPath_; // as the caller gave it, for messages
    const MtlTextSource& source_;
    std::unique_ptr<Mesh> mesh_;
    std::string error_;

    // What the survey counted.
    struct Totals {
        uint32_t vertices = 0, normals = 0, textures = 0, triangles = 0;
    };
    Totals totals_;

    // Groups are numbered in the order they are created, as the mesh lists them.
    std::vector<MeshGroup> groups_;
    std::vector<uint64_t> groupTriangles_; // as the survey counted them
    std::map<std::string, uint32_t, std::less<>> groupNumbers_;
    std::map<std::string, uint32_t, std::less<>> materialNumbers_;

    std::vector<WrittenCorner> written_; // the corners of the face being read
    std::vector<Corner> corners_;
};

} // namespace

ObjReadResult ReadObjReference(std::string_view objText, const std::string& path,
                               const MtlTextSource& mtlSource) {
    return ReferenceReader(objText, path, mtlSource).Read();
}
