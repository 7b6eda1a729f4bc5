#pragma once

#include <functional>
#include <vector>

// Display lists for the small fixed shapes (the element spheres), one per shape and size, so that
// a frame calls a list instead of computing every vertex with trigonometry again. The lists belong
// to the OpenGL context that is current while the cache is used; Release them while it still is.
class ShapeListCache {
public:
    enum class Shape { Sphere };

    ShapeListCache() = default;
    ~ShapeListCache() = default;
    ShapeListCache(const ShapeListCache&) = delete;
    ShapeListCache& operator=(const ShapeListCache&) = delete;

    // Calls the list of the shape of this size and detail, compiling it from `issue` (the same
    // GL calls, made once) when there is none yet. Draws through `issue` directly while another
    // list is being compiled or when no list can be had.
    void Draw(Shape shape, double size, int detail, const std::function<void()>& issue);
    // Deletes every list (the context must be current).
    void Release();
    // Drops the lists without deleting them, for when their context is gone.
    void Forget() { entries.clear(); }
    int ListCount() const { return static_cast<int>(entries.size()); }

private:
    struct Entry {
        Shape shape = Shape::Sphere;
        double size = 0;
        int detail = 0;
        unsigned list = 0;
    };

    // A case holds at most twenty elements; sizes beyond that many are dropped oldest first.
    static constexpr size_t kMaxEntries = 64;
    std::vector<Entry> entries;
};
