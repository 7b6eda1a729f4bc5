#include "render/Picking.h"

#include "case/Case.h"
#include "render/CtMetalPass.h"
#include "render/ElementPass.h"
#include "render/FrameContext.h"
#include "render/FrameProjection.h"
#include "render/PickNames.h"
#include "render/TrajectoryPass.h"
#include "view/ViewState.h"

#include <GL/glu.h>

#include <array>
#include <functional>

namespace {

constexpr double kPickRegion = 5.0; // pixels

bool InRange(GLuint name, GLuint first, int count) {
    return count > 0 && name >= first && name < first + static_cast<GLuint>(count);
}

// Calls `each` with the name count, minimum depth and first name of every complete record.
void ForEachHit(const GLuint* buffer, int bufferSize, GLint hitCount,
                const std::function<void(GLuint, GLuint, const GLuint*)>& each) {
    size_t at = 0;
    const auto size = static_cast<size_t>(bufferSize);
    for (GLint record = 0; record < hitCount; ++record) {
        if (at + 3 > size) {
            break;
        }
        const GLuint nameCount = buffer[at];
        if (at + 3 + nameCount > size) {
            break;
        }
        each(nameCount, buffer[at + 1], buffer + at + 3);
        at += 3 + nameCount;
    }
}

// The selection pass around window pixel (x, y) with the frame's camera and projection, drawing
// what `draw` draws; returns the hit count (negative after an overflow). Leaves the matrices and
// the matrix mode (model-view) as the frame expects them.
GLint RunSelectionPass(const FrameContext& frame, int x, int y, GLuint* buffer,
                       const std::function<void()>& draw) {
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int height = viewport[3] > 0 ? viewport[3] : 1;

    glSelectBuffer(kSelectionBufferSize, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, height - y, kPickRegion, kPickRegion, viewport);
    ApplyFramePerspective(viewport[2], height);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    ApplyCameraView(frame.view.GetCamera());
    draw();
    glPopMatrix();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    const GLint hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_MODELVIEW);
    return hits;
}

} // namespace

std::optional<GLuint> LastHitName(const GLuint* buffer, int bufferSize, GLint hitCount) {
    std::optional<GLuint> last;
    ForEachHit(buffer, bufferSize, hitCount, [&](GLuint count, GLuint, const GLuint* names) {
        if (count > 0) {
            last = names[count - 1];
        }
    });
    return last;
}

std::optional<GLuint> NearestHitName(const GLuint* buffer, int bufferSize, GLint hitCount) {
    std::optional<GLuint> nearest;
    GLuint nearestDepth = 0;
    ForEachHit(buffer, bufferSize, hitCount, [&](GLuint count, GLuint depth, const GLuint* names) {
        if (count > 0 && (!nearest || depth < nearestDepth)) {
            nearest = names[count - 1];
            nearestDepth = depth;
        }
    });
    return nearest;
}

void ApplyPickName(const Case& theCase, ViewState& view, std::optional<GLuint> name) {
    if (!name) {
        view.MissSelection();
        return;
    }
    const GLuint value = *name;
    if (InRange(value, pick_names::ForTrajectory(1), theCase.TrajectoryCount())) {
        view.SelectTrajectory(static_cast<int>(value));
    } else if (InRange(value, pick_names::ForElement(1), theCase.ElementCount())) {
        view.SelectElement(static_cast<int>(value - pick_names::kFirstElement));
    } else if (InRange(value, pick_names::Handle(1), 3)) {
        view.SelectHandle(static_cast<Handle>(value - pick_names::kFirstHandle));
    } else {
        view.MissSelection();
    }
}

std::optional<GLuint> PickName(const FrameContext& frame, int x, int y) {
    std::array<GLuint, kSelectionBufferSize> buffer{};
    const GLint hits = RunSelectionPass(frame, x, y, buffer.data(), [&] {
        DrawTrajectories(frame, RenderPass::Selection);
        DrawElements(frame, RenderPass::Selection);
    });
    return LastHitName(buffer.data(), kSelectionBufferSize, hits);
}

std::optional<int> PickMetalObject(const FrameContext& frame, int x, int y) {
    std::array<GLuint, kSelectionBufferSize> buffer{};
    const GLint hits = RunSelectionPass(frame, x, y, buffer.data(),
                                        [&] { CtMetalPass::Draw(frame, RenderPass::Selection); });
    const std::optional<GLuint> name = NearestHitName(buffer.data(), kSelectionBufferSize, hits);
    // Name 0 is what was drawn before the first ball's name: no object.
    if (!name || *name < pick_names::kFirstMetal) {
        return std::nullopt;
    }
    return static_cast<int>(*name - pick_names::kFirstMetal);
}
