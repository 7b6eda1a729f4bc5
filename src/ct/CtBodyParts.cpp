#include "ct/CtBodyParts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>

namespace {

using Triangles = std::vector<std::array<uint32_t, 3>>;

constexpr double kBandCm = 1.0;
constexpr double kShortestBodyCm = 10.0;
// Heights as shares of the body's length, for an adult lying with the arms at the sides.
constexpr double kHighestCrotch = 0.6, kLowestCrotch = 0.35, kUsualCrotch = 0.47;
constexpr double kKnee = 0.285, kElbow = 0.63, kNeckFrom = 0.75, kNeckTo = 0.95;

enum Part {
    kHead,
    kTrunk,
    kRightArm,
    kRightForearm,
    kLeftArm,
    kLeftForearm,
    kRightThigh,
    kRightShank,
    kLeftThigh,
    kLeftShank,
    kPartCount
};
constexpr std::array<const char*, kPartCount> kNames = {
    "head",         "trunk",       "right_arm",   "right_forearm", "left_arm",
    "left_forearm", "right_thigh", "right_shank", "left_thigh",    "left_shank"};

// A piece of one band: triangles that touch one another there.
struct Piece {
    float minX = std::numeric_limits<float>::max(), maxX = -std::numeric_limits<float>::max();
    bool CrossesMidline() const { return minX < 0 && maxX > 0; }
    float Middle() const { return (minX + maxX) / 2; }
    float Width() const { return maxX - minX; }
};

// The triangles' pieces, band by band: for each triangle, the piece of the band its centre lies
// in, and each band's pieces.
class BandPieces {
public:
    BandPieces(const std::vector<Vec3f>& positions, const Triangles& triangles, double length)
        : positions_(positions), triangles_(triangles),
          bands_(std::max(1, static_cast<int>(std::ceil(length / kBandCm)))),
          parent_(positions.size()), pieceOf_(triangles.size()),
          pieces_(static_cast<std::size_t>(bands_)) {
        std::iota(parent_.begin(), parent_.end(), 0u);
        std::vector<std::vector<uint32_t>> touching(static_cast<std::size_t>(bands_));
        for (uint32_t t = 0; t < triangles.size(); ++t) {
            float low = std::numeric_limits<float>::max(), high = -low;
            for (uint32_t corner : triangles[t]) {
                low = std::min(low, positions[corner].y);
                high = std::max(high, positions[corner].y);
            }
            for (int band = Band(low); band <= Band(high); ++band) {
                touching[static_cast<std::size_t>(band)].push_back(t);
            }
        }
        for (int band = 0; band < bands_; ++band) {
            Split(band, touching[static_cast<std::size_t>(band)]);
        }
    }

    int Bands() const { return bands_; }
    int Band(float y) const { return std::clamp(static_cast<int>(y / kBandCm), 0, bands_ - 1); }
    int BandOfTriangle(uint32_t t) const { return Band(Centre(t).y); }
    const std::vector<Piece>& Pieces(int band) const {
        return pieces_[static_cast<std::size_t>(band)];
    }
    uint32_t PieceOf(uint32_t t) const { return pieceOf_[t]; }
    Vec3f Centre(uint32_t t) const {
        const auto& c = triangles_[t];
        const Vec3f &a = positions_[c[0]], &b = positions_[c[1]], &d = positions_[c[2]];
        return {(a.x + b.x + d.x) / 3, (a.y + b.y + d.y) / 3, (a.z + b.z + d.z) / 3};
    }

private:
    uint32_t Root(uint32_t v) {
        while (parent_[v] != v) {
            parent_[v] = parent_[parent_[v]];
            v = parent_[v];
        }
        return v;
    }

    void Split(int band, const std::vector<uint32_t>& triangles) {
        for (uint32_t t : triangles) {
            const auto& c = triangles_[t];
            parent_[Root(c[1])] = Root(c[0]);
            parent_[Root(c[2])] = Root(c[0]);
        }
        std::vector<Piece>& pieces = pieces_[static_cast<std::size_t>(band)];
        std::vector<std::pair<uint32_t, uint32_t>> numbered; // (root, piece)
        for (uint32_t t : triangles) {
            const uint32_t root = Root(triangles_[t][0]);
            auto found = std::find_if(numbered.begin(), numbered.end(),
                                      [root](const auto& entry) { return entry.first == root; });
            if (found == numbered.end()) {
                numbered.emplace_back(root, static_cast<uint32_t>(pieces.size()));
                pieces.emplace_back();
                found = numbered.end() - 1;
            }
            Piece& piece = pieces[found->second];
            for (uint32_t corner : triangles_[t]) {
                piece.minX = std::min(piece.minX, positions_[corner].x);
                piece.maxX = std::max(piece.maxX, positions_[corner].x);
            }
            if (BandOfTriangle(t) == band) {
                pieceOf_[t] = found->second;
            }
        }
        for (uint32_t t : triangles) {
            for (uint32_t corner : triangles_[t]) {
                parent_[corner] = corner;
            }
        }
    }

    const std::vector<Vec3f>& positions_;
    const Triangles& triangles_;
    int bands_;
    std::vector<uint32_t> parent_;
    std::vector<uint32_t> pieceOf_;
    std::vector<std::vector<Piece>> pieces_;
};

// The piece of the band crossing the midline; the widest when several do, none when none does.
const Piece* MidlinePiece(const std::vector<Piece>& pieces) {
    const Piece* found = nullptr;
    for (const Piece& piece : pieces) {
        if (piece.CrossesMidline() && (found == nullptr || piece.Width() > found->Width())) {
            found = &piece;
        }
    }
    return found;
}

double CrotchHeight(const BandPieces& bands, double length) {
    for (int band = bands.Band(static_cast<float>(kHighestCrotch * length)); band >= 0; --band) {
        const std::vector<Piece>& pieces = bands.Pieces(band);
        const bool left =
            std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) { return p.minX >= 0; });
        const bool right =
            std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) { return p.maxX <= 0; });
        if (left && right && MidlinePiece(pieces) == nullptr) {
            const double top = (band + 1) * kBandCm;
            return top >= kLowestCrotch * length ? top : kUsualCrotch * length;
        }
    }
    return kUsualCrotch * length;
}

double NeckHeight(const BandPieces& bands, double length) {
    double neck = 0.87 * length, narrowest = std::numeric_limits<double>::max();
    for (int band = bands.Band(static_cast<float>(kNeckFrom * length));
         band <= bands.Band(static_cast<float>(kNeckTo * length)); ++band) {
        if (const Piece* middle = MidlinePiece(bands.Pieces(band));
            middle != nullptr && middle->Width() < narrowest) {
            narrowest = middle->Width();
            neck = (band + 0.5) * kBandCm;
        }
    }
    return neck;
}

// On each side of the midline, the piece nearest to it: the leg's.
std::array<int, 2> Legs(const std::vector<Piece>& pieces) {
    std::array<int, 2> legs = {-1, -1}; // right, left
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        const Piece& piece = pieces[index];
        if (piece.CrossesMidline()) {
            return {static_cast<int>(index), static_cast<int>(index)};
        }
        const int side = piece.Middle() > 0 ? 1 : 0;
        const double gap = side == 1 ? piece.minX : -piece.maxX;
        const int& current = legs[side];
        const double currentGap = current < 0 ? std::numeric_limits<double>::max()
                                  : side == 1 ? pieces[current].minX
                                              : -pieces[current].maxX;
        if (gap < currentGap) {
            legs[side] = static_cast<int>(index);
        }
    }
    return legs;
}

struct Heights {
    double length = 0, crotch = 0, neck = 0;
    std::array<double, 2> raisedArmTop = {0, 0}; // right, left
};

Part Limb(bool left, bool upper, Part rightUpper) {
    return static_cast<Part>(rightUpper + (left ? 2 : 0) + (upper ? 0 : 1));
}

Part PartOf(const BandPieces& bands, const Heights& heights, uint32_t t) {
    const Vec3f centre = bands.Centre(t);
    const int band = bands.BandOfTriangle(t);
    const std::vector<Piece>& pieces = bands.Pieces(band);
    const uint32_t index = bands.PieceOf(t);
    const Piece& piece = pieces[index];
    const double y = centre.y;
    const bool left = piece.CrossesMidline() ? centre.x > 0 : piece.Middle() > 0;
    if (y < heights.crotch) {
        const std::array<int, 2> legs = Legs(pieces);
        if (legs[left ? 1 : 0] == static_cast<int>(index)) {
            return Limb(left, y >= heights.length * kKnee, kRightThigh);
        }
        return Limb(left, false, kRightArm);
    }
    const Piece* middle = MidlinePiece(pieces);
    const bool central =
        middle != nullptr && piece.minX >= middle->minX && piece.maxX <= middle->maxX;
    if (y >= heights.neck) {
        if (central) {
            return kHead;
        }
        const double top = heights.raisedArmTop[left ? 1 : 0];
        return Limb(left, y < (heights.neck + top) / 2, kRightArm);
    }
    return central ? kTrunk : Limb(left, y >= heights.length * kElbow, kRightArm);
}

// The top of each side's pieces beside the head.
void FindRaisedArms(const BandPieces& bands, Heights& heights) {
    for (int band = bands.Band(static_cast<float>(heights.neck)); band < bands.Bands(); ++band) {
        const Piece* middle = MidlinePiece(bands.Pieces(band));
        for (const Piece& piece : bands.Pieces(band)) {
            if (middle == nullptr || piece.minX < middle->minX || piece.maxX > middle->maxX) {
                double& top = heights.raisedArmTop[piece.Middle() > 0 ? 1 : 0];
                top = std::max(top, (band + 1) * kBandCm);
            }
        }
    }
}

} // namespace

const std::vector<std::string>& CtBodyPartNames() {
    static const std::vector<std::string> names(kNames.begin(), kNames.end());
    return names;
}

std::vector<uint8_t> FindCtBodyParts(const std::vector<Vec3f>& positions,
                                     const std::vector<std::array<uint32_t, 3>>& triangles) {
    float lowest = std::numeric_limits<float>::max(), highest = -lowest;
    for (const auto& triangle : triangles) {
        for (uint32_t corner : triangle) {
            lowest = std::min(lowest, positions[corner].y);
            highest = std::max(highest, positions[corner].y);
        }
    }
    std::vector<uint8_t> parts(triangles.size(), kTrunk);
    if (triangles.empty() || highest - std::max(lowest, 0.0f) < kShortestBodyCm) {
        return parts;
    }
    const BandPieces bands(positions, triangles, highest);
    Heights heights;
    heights.length = highest;
    heights.crotch = CrotchHeight(bands, highest);
    heights.neck = NeckHeight(bands, highest);
    FindRaisedArms(bands, heights);
    for (uint32_t t = 0; t < triangles.size(); ++t) {
        parts[t] = static_cast<uint8_t>(PartOf(bands, heights, t));
    }
    return parts;
}
