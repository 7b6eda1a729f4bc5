#include "case/WoundAlignment.h"

#include "case/TrackLine.h"

AlignmentTrack AlignmentTrackOf(const Case& theCase, int number) {
    const Trajectory* trajectory = theCase.TrajectoryNumbered(number);
    if (trajectory == nullptr) {
        return {};
    }
    return {number, trajectory->in, trajectory->out, trajectory->inPart, trajectory->outPart};
}

namespace {

// Where `point` lies on the piece's line.
Vec3 OnPiece(const TrackPiece& piece, const Vec3& point) {
    const double along = Dot(Minus(point, piece.start), piece.direction);
    return {piece.start.x + piece.direction.x * along, piece.start.y + piece.direction.y * along,
            piece.start.z + piece.direction.z * along};
}

} // namespace

std::optional<std::array<AlignmentTrack, 2>> AlignmentPiecesOf(const Case& theCase, int number) {
    const Trajectory* trajectory = theCase.TrajectoryNumbered(number);
    if (trajectory == nullptr || trajectory->points.empty()) {
        return std::nullopt;
    }
    const std::vector<TrackStop> stops = StopsOfTrajectory(*trajectory);
    const std::optional<TrackLine> line = FitTrackLine(stops);
    if (!line || line->pieces.size() != 2) {
        return std::nullopt;
    }
    std::array<AlignmentTrack, 2> pieces;
    for (std::size_t k = 0; k < 2; ++k) {
        const TrackPiece& piece = line->pieces[k];
        pieces[k] = {number,
                     OnPiece(piece, stops[piece.first].point),
                     OnPiece(piece, stops[piece.last].point),
                     piece.part,
                     piece.part,
                     static_cast<int>(k + 1)};
    }
    return pieces;
}
