#include "render/ShapeListCache.h"

#include <GL/gl.h>

namespace {

bool CompilingAList() {
    GLint list = 0;
    glGetIntegerv(GL_LIST_INDEX, &list);
    return list != 0;
}

} // namespace

void ShapeListCache::Draw(Shape shape, double size, int detail,
                          const std::function<void()>& issue) {
    if (CompilingAList()) {
        issue();
        return;
    }
    for (const Entry& entry : entries) {
        if (entry.shape == shape && entry.size == size && entry.detail == detail) {
            glCallList(entry.list);
            return;
        }
    }
    const unsigned list = glGenLists(1);
    if (list == 0) {
        issue();
        return;
    }
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    issue();
    glEndList();
    if (entries.size() >= kMaxEntries) {
        glDeleteLists(entries.front().list, 1);
        entries.erase(entries.begin());
    }
    entries.push_back(Entry{shape, size, detail, list});
}

void ShapeListCache::Release() {
    for (const Entry& entry : entries) {
        glDeleteLists(entry.list, 1);
    }
    entries.clear();
}
