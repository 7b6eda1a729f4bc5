#include "mesh/io/obj/ObjParallelReader.h"

#include "base/LargeArrays.h"
#include "mesh/MeshGroups.h"
#include "mesh/MeshValidation.h"
#include "mesh/io/MeshGroupBuilder.h"
#include "mesh/io/obj/MtlReader.h"
#include "mesh/io/obj/ObjChunkCounter.h"
#include "mesh/io/obj/ObjChunkFiller.h"
#include "mesh/io/obj/ObjRefusals.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Texts below this size are read by the calling thread alone.
constexpr std::size_t kSmallText = std::size_t{1} << 20;

// Larger texts are cut into this many stretches per processor core. A byte of coordinates costs
// the second reading more than a byte of faces, and a model keeps them in different parts of its
// text: with one stretch per core, one core would go on alone while the others wait. Each reading
// ends when the last stretch taken is done, so the stretches are kept small (a few megabytes of
// the 104.5 MB torus): the other cores then wait for less than a millisecond, not for several.
constexpr unsigned kStretchesPerCore = 16;

// Runs work(i, buffer) for every i in [0, count) in that order on up to one thread per processor
// core (and at most maxThreads), the calling thread among them; each thread takes the next job not
// yet taken and reads files through a window buffer of its own. Returns when all are done.
template <typename Work>
void RunStretches(std::size_t count, const Work& work, std::size_t maxThreads = SIZE_MAX) {
    const std::size_t threadCount = std::min<std::size_t>(
        {count, maxThreads, std::max(1u, std::thread::hardware_concurrency())});
    std::atomic<std::size_t> next{0};
    const auto takeStretches = [&work, &next, count] {
        std::string windowBuffer;
        for (std::size_t i = next++; i < count; i = next++) {
            work(i, windowBuffer);
        }
    };
    std::vector<std::jthread> threads;
    threads.reserve(threadCount);
    for (std::size_t t = 1; t < threadCount; ++t) {
        try {
            threads.emplace_back(takeStretches);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones running take every stretch
        }
    }
    takeStretches();
} // the threads join here

// Cuts the text at statement starts near equal fractions of its size.
std::vector<ObjChunkCount> SplitText(const ObjSource& source, const ObjParallelOptions& options) {
    std::size_t pieces = options.stretches;
    if (pieces == 0) {
        pieces = source.Size() < kSmallText
                     ? 1
                     : kStretchesPerCore * std::max(1u, std::thread::hardware_concurrency());
    }
    std::vector<ObjChunkCount> counts;
    std::size_t begin = 0;
    for (std::size_t i = 1; i <= pieces && begin < source.Size(); ++i) {
        const std::size_t end =
            i == pieces ? source.Size()
                        : std::max(begin, source.StatementStartFrom(source.Size() / pieces * i));
        if (end > begin) {
            counts.emplace_back();
            counts.back().begin = begin;
            counts.back().end = end;
            begin = end;
        }
    }
    if (counts.empty()) {
        counts.emplace_back(); // an empty text is one empty stretch
    }
    return counts;
}

// Adds up the counts in text order, as the sequential first reading would meet them: reads the
// material libraries, reports the first statement that could not be taken, creates the groups
// and gives every stretch its places.
class StretchPlanner {
public:
    StretchPlanner(Mesh& mesh, const std::string& path, const MtlTextSource& mtlSource)
        : mesh_(mesh), path_(path), libraries_(mtlSource) {
        current_ = groups_.GroupFor("default");
        slotsUsed_.push_back(0);
    }

    // What the whole text holds, once every stretch is planned.
    struct Totals {
        uint64_t vertices = 0, normals = 0, texCoords = 0, triangles = 0;
        std::vector<uint64_t> groupTriangles; // per group, in mesh.groups' order
    };

    Status Plan(const std::vector<ObjChunkCount>& counts, std::vector<ObjChunkPlan>& plans) {
        plans.resize(counts.size());
        for (std::size_t i = 0; i < counts.size(); ++i) {
            if (Status status = PlanStretch(counts[i], plans[i]); !status) {
                return status;
            }
        }
        if (totals_.vertices > kMaxObjCount || totals_.normals > kMaxObjCount ||
            totals_.texCoords > kMaxObjCount) {
            return RefuseObj(ObjTooLargeMessage(path_));
        }
        const ObjElementCounts total{static_cast<uint32_t>(totals_.vertices),
                                     static_cast<uint32_t>(totals_.texCoords),
                                     static_cast<uint32_t>(totals_.normals)};
        for (ObjChunkPlan& plan : plans) {
            plan.total = total;
        }
        totals_.groupTriangles = groups_.MoveInto(mesh_);
        return Status::Ok();
    }

    const Totals& Counted() const { return totals_; }

private:
    // A group's number is its place in mesh.groups.
    Status PlanStretch(const ObjChunkCount& count, ObjChunkPlan& plan) {
        for (const ObjChunkCount::Library& library : count.libraries) {
            if (count.faultOffset && library.offset >= *count.faultOffset) {
                break;
            }
            if (Status status = libraries_.ReadInto(mesh_, library.name); !status) {
                return status;
            }
        }
        if (count.faultOffset) {
            return count.unknownWord.empty() ? RefuseObj(ObjChangedMessage(path_))
                                             : ObjUnknownToken(count.unknownWord);
        }
        plan.base = {static_cast<uint32_t>(totals_.vertices),
                     static_cast<uint32_t>(totals_.texCoords),
                     static_cast<uint32_t>(totals_.normals)};
        plan.triangleBase = static_cast<uint32_t>(totals_.triangles);
        plan.leadingGroup = current_;
        plan.leadingStart = Reserve(current_, count.leadingTriangles);
        plan.groupPositions.resize(count.groupNames.size());
        plan.groupStarts.resize(count.groupNames.size());
        for (std::size_t g = 0; g < count.groupNames.size(); ++g) {
            plan.groupPositions[g] = groups_.GroupFor(count.groupNames[g]);
            if (slotsUsed_.size() < groups_.Size()) {
                slotsUsed_.push_back(0);
            }
            plan.groupStarts[g] = Reserve(plan.groupPositions[g], count.groupTriangles[g]);
        }
        if (!count.usemtlGroups.empty()) {
            current_ = plan.groupPositions[count.usemtlGroups.back()];
        }
        totals_.vertices += count.vertices;
        totals_.normals += count.normals;
        totals_.texCoords += count.texCoords;
        totals_.triangles += count.triangles;
        if (totals_.triangles > kMaxObjCount) {
            return RefuseObj(ObjTooLargeMessage(path_));
        }
        return Status::Ok();
    }

    // The first of `triangles` slots of the group, which the group then holds.
    uint32_t Reserve(uint32_t group, uint64_t triangles) {
        const uint64_t first = slotsUsed_[group];
        slotsUsed_[group] += triangles;
        groups_.AddTriangles(group, triangles);
        return static_cast<uint32_t>(std::min<uint64_t>(first, kMaxObjCount));
    }

    Mesh& mesh_;
    const std::string& path_;
    MtlLibraries libraries_;
    MeshGroupBuilder groups_;
    std::vector<uint64_t> slotsUsed_; // per group number
    uint32_t current_ = 0;
    Totals totals_;
};

// The jobs of the second reading, in the order threads take them: making the triangles' array
// and the groups' lists of them, making the coordinates' arrays, then reading the stretches, those
// without faces first. Every array is allocated once, at the exact size the first reading counted.
// A stretch waits only for the arrays it writes into: a model keeps most of its coordinates ahead
// of its faces, so they are read on one core while the triangles' array (more than half of the
// bytes) is made on another. The jobs that make arrays never wait and are taken before any stretch,
// so a single thread, or any number, runs them all.
class SecondReadingJobs {
public:
    SecondReadingJobs(Mesh& mesh, const StretchPlanner::Totals& totals,
                      const std::vector<ObjChunkCount>& counts)
        : mesh_(mesh), totals_(totals), counts_(counts) {
        for (const bool withFaces : {false, true}) {
            for (std::size_t i = 0; i < counts.size(); ++i) {
                if ((counts[i].triangles > 0) == withFaces) {
                    order_.push_back(i);
                }
            }
        }
    }

    std::size_t Count() const { return kArrayJobs + order_.size(); }

    // Runs job `job`: makes an array, or calls readStretch(i) for a stretch i once its arrays
    // are made.
    template <typename ReadStretch> void Run(std::size_t job, const ReadStretch& readStretch) {
        if (job == 0) {
            AllocateExactly(mesh_.triangles, totals_.triangles, MeshTriangle());
            MeshGroupBuilder::MakeTriangleSlots(mesh_, totals_.groupTriangles);
            Announce(trianglesMade_);
        } else if (job == 1) {
            MakeCoordinates();
            Announce(coordinatesMade_);
        } else {
            const std::size_t stretch = order_[job - kArrayJobs];
            const ObjChunkCount& count = counts_[stretch];
            if (count.vertices > 0 || count.normals > 0 || count.texCoords > 0) {
                coordinatesMade_.wait(false);
            }
            if (count.triangles > 0) {
                trianglesMade_.wait(false);
            }
            readStretch(stretch);
        }
    }

private:
    static constexpr std::size_t kArrayJobs = 2;

    void MakeCoordinates() {
        AllocateExactly(mesh_.positions, totals_.vertices, Vec3f());
        if (totals_.normals > 0) {
            AllocateExactly(mesh_.normals, totals_.normals, Vec3f());
        }
        if (totals_.texCoords > 0) {
            AllocateExactly(mesh_.texCoords, totals_.texCoords, std::array<float, 2>{0.0f, 0.0f});
        }
    }

    static void Announce(std::atomic<bool>& made) {
        made.store(true);
        made.notify_all();
    }

    Mesh& mesh_;
    const StretchPlanner::Totals& totals_;
    const std::vector<ObjChunkCount>& counts_;
    std::vector<std::size_t> order_; // stretches in the order they are read
    std::atomic<bool> trianglesMade_{false};
    std::atomic<bool> coordinatesMade_{false};
};

// Gives each group the material its usemtl statements name, in text order (a missing material
// is warned about at every such statement), up to `stop`.
void AssignMaterials(Mesh& mesh, const std::vector<ObjChunkCount>& counts,
                     const std::vector<ObjChunkPlan>& plans, std::size_t stop) {
    const NameIndex materials = NameIndex::Of(mesh.materials);
    for (std::size_t i = 0; i < counts.size(); ++i) {
        for (std::size_t k = 0; k < counts[i].usemtlGroups.size(); ++k) {
            if (counts[i].usemtlOffsets[k] >= stop) {
                return;
            }
            MeshGroup& group = mesh.groups[plans[i].groupPositions[counts[i].usemtlGroups[k]]];
            group.material = FindIndexedMaterial(materials, group.name);
        }
    }
}

// The refusal for the first stretch (in text order) whose second reading stopped.
std::optional<Status> FirstFault(const ObjSource& source, const std::string& path,
                                 const std::vector<ObjChunkFault>& faults, std::size_t& stop) {
    for (const ObjChunkFault& fault : faults) {
        if (!fault.offset) {
            continue;
        }
        stop = *fault.offset;
        if (fault.badIndex) {
            if (const std::optional<std::size_t> line = source.LineNumberAt(*fault.offset)) {
                return RefuseObj(DescribeIndexFault(fault.index, *line, path));
            }
        }
        return RefuseObj(ObjChangedMessage(path));
    }
    return std::nullopt;
}

ObjReadResult Failed(const Status& status) {
    ObjReadResult result;
    result.error = status.message();
    return result;
}

// Both readings, each split across threads: the mesh as the text gives it, not yet checked.
ObjReadResult ReadStretches(const ObjSource& source, const std::string& path,
                            const MtlTextSource& mtlSource,
                            const std::function<void(double)>& onProgress,
                            const ObjParallelOptions& options) {
    auto mesh = std::make_unique<Mesh>();
    mesh->path = path;
    std::replace(mesh->path.begin(), mesh->path.end(), '\\', '/');
    ObjReadProgress progress(onProgress, source.Size());

    std::vector<ObjChunkCount> counts = SplitText(source, options);
    RunStretches(counts.size(), [&](std::size_t i, std::string& windowBuffer) {
        CountObjChunk(source, options.windowBytes, windowBuffer, counts[i], progress);
    });
    std::vector<ObjChunkPlan> plans;
    StretchPlanner planner(*mesh, path, mtlSource);
    if (Status status = planner.Plan(counts, plans); !status) {
        return Failed(status);
    }

    progress.BeginSecondReading();
    std::vector<ObjChunkFault> faults(counts.size());
    SecondReadingJobs jobs(*mesh, planner.Counted(), counts);
    // A text of one stretch is read on the calling thread alone.
    RunStretches(
        jobs.Count(),
        [&](std::size_t job, std::string& windowBuffer) {
            jobs.Run(job, [&](std::size_t i) {
                FillObjChunk(source, options.windowBytes, windowBuffer, counts[i], plans[i], *mesh,
                             faults[i], progress);
            });
        },
        counts.size());
    std::size_t stop = source.Size() + 1;
    const std::optional<Status> fault = FirstFault(source, path, faults, stop);
    AssignMaterials(*mesh, counts, plans, stop);
    if (fault) {
        return Failed(*fault);
    }
    ObjReadResult result;
    result.mesh = std::move(mesh);
    return result;
}

} // namespace

ObjReadResult ReadObjInParallel(const ObjSource& source, const std::string& path,
                                const MtlTextSource& mtlSource,
                                const std::function<void(double)>& onProgress,
                                const ObjParallelOptions& options) {
    // The digest is of the text read through the same descriptor, checked unchanged since it was
    // opened once both readings and the hash are done: the bytes hashed are the bytes read, and no
    // copy of the text is held for it. A large file is hashed on a thread of its own beside the
    // readings (on a machine with cores to spare it costs no time); a small one afterwards.
    std::optional<std::string> digest;
    std::jthread hashing;
    if (options.digest && !source.InMemory() && source.Size() >= kSmallText) {
        try {
            hashing = std::jthread([&source, &digest] { digest = source.Sha256Hex(); });
        } catch (const std::system_error&) {
            // no thread to be had: hashed afterwards
        }
    }
    const bool hashedBeside = hashing.joinable();
    ObjReadResult read = ReadStretches(source, path, mtlSource, onProgress, options);
    if (hashedBeside) {
        hashing.join();
    }
    if (!read.mesh) {
        return read;
    }
    std::unique_ptr<Mesh> mesh = std::move(read.mesh);
    if (options.digest && !hashedBeside) {
        digest = source.Sha256Hex();
    }
    if ((options.digest && !digest) || !source.Unchanged()) {
        return Failed(RefuseObj(ObjChangedMessage(path)));
    }
    mesh->sourceSha256 = std::move(digest).value_or(std::string());
    if (Status valid = Validate(*mesh, MeshNumbers::AsWritten); !valid) {
        return Failed(RefuseObj(ObjInvalidMessage(path, valid.message())));
    }
    ComputeMeshBoxes(*mesh);
    mesh->revision = NextMeshRevision();
    if (onProgress) {
        onProgress(1.0);
    }
    ObjReadResult result;
    result.mesh = std::move(mesh);
    return result;
}
