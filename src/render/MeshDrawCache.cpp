#include "render/MeshDrawCache.h"

#include "render/MeshDrawing.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

// Lists cannot nest: while a caller compiles a list of its own, the mesh goes in immediately.
bool CompilingAList() {
    GLint list = 0;
    glGetIntegerv(GL_LIST_INDEX, &list);
    return list != 0;
}

void DeleteList(unsigned list) {
    if (list != 0) {
        glDeleteLists(list, 1);
    }
}

void DeleteEntryObjects(unsigned list, MeshBuffer* buffer) {
    DeleteList(list);
    if (buffer != nullptr) {
        buffer->Release();
    }
}

} // namespace

MeshDrawCache::~MeshDrawCache() {
    Release();
}

void MeshDrawCache::Draw(const Mesh& mesh, unsigned mode, float alpha, float normalScale) {
    // The alpha reaches the pixels only through the colour mode.
    if ((mode & RENDER_COLOR) == 0) {
        alpha = 1.0f;
    }
    if (CompilingAList()) {
        IssueMeshTriangles(mesh, mode, alpha, normalScale);
        return;
    }
    ForgetStaleRevisions(mesh);
    Entry* entry = Find(mesh, mode, alpha, normalScale);
    if (entry == nullptr) {
        entry = Compile(mesh, mode, alpha, normalScale);
    }
    if (entry != nullptr && entry->buffer) {
        entry->buffer->Draw(mesh, mode, alpha);
    } else if (entry != nullptr) {
        glCallList(entry->list);
    } else {
        IssueMeshTriangles(mesh, mode, alpha, normalScale);
    }
}

MeshDrawCache::Entry* MeshDrawCache::Find(const Mesh& mesh, unsigned mode, float alpha,
                                          float normalScale) {
    for (Entry& entry : entries) {
        if (entry.mesh == &mesh && entry.revision == mesh.revision && entry.mode == mode &&
            entry.alpha == alpha && entry.normalScale == normalScale) {
            return &entry;
        }
    }
    return nullptr;
}

MeshDrawCache::Entry* MeshDrawCache::Compile(const Mesh& mesh, unsigned mode, float alpha,
                                             float normalScale) {
    if (entries.size() >= kMaxEntries) {
        DeleteEntryObjects(entries.front().list, entries.front().buffer.get());
        entries.erase(entries.begin());
    }
    if (mesh.triangles.size() >= kBufferTriangles && MeshBuffer::Supports(mesh, mode)) {
        if (std::unique_ptr<MeshBuffer> buffer = MeshBuffer::Create(mesh, mode, normalScale)) {
            entries.push_back(
                Entry{&mesh, mesh.revision, mode, alpha, normalScale, 0, std::move(buffer)});
            return &entries.back();
        }
    }
    const unsigned list = glGenLists(1);
    if (list == 0) {
        return nullptr; // no list available: the caller draws in immediate mode
    }
    glNewList(list, GL_COMPILE);
    IssueMeshTriangles(mesh, mode, alpha, normalScale);
    glEndList();
    entries.push_back(Entry{&mesh, mesh.revision, mode, alpha, normalScale, list, nullptr});
    return &entries.back();
}

// A mesh whose revision moved on (new normals, new positions, or a new mesh at a reused address)
// never needs its old lists again.
void MeshDrawCache::ForgetStaleRevisions(const Mesh& mesh) {
    auto stale = [&mesh](const Entry& entry) {
        return entry.mesh == &mesh && entry.revision != mesh.revision;
    };
    for (const Entry& entry : entries) {
        if (stale(entry)) {
            DeleteEntryObjects(entry.list, entry.buffer.get());
        }
    }
    std::erase_if(entries, stale);
}

void MeshDrawCache::Release() {
    for (const Entry& entry : entries) {
        DeleteEntryObjects(entry.list, entry.buffer.get());
    }
    entries.clear();
}

void MeshDrawCache::Forget() {
    for (const Entry& entry : entries) {
        if (entry.buffer) {
            entry.buffer->Forget();
        }
    }
    entries.clear();
}

int MeshDrawCache::BufferCount() const {
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const Entry& entry) {
        return entry.buffer != nullptr;
    }));
}
