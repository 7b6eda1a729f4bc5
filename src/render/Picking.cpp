#include "render/Picking.h"

#include "case/Case.h"
#include "render/ElementPass.h"
#include "render/FrameContext.h"
#include "render/FrameProjection.h"
#include "render/PickNames.h"
#include "render/TrajectoryPass.h"
#include "view/ViewState.h"

#include <GL/glu.h>

#include <array>

namespace {

constexpr double kPickRegion = 5.0; // pixels

bool InRange(GLuint name, GLuint first, int count) {
    return count > 0 && name >= first && name < first + static_cast<GLuint>(count);
}

} // namespace

std::optional<GLuint> LastHitName(const GLuint* buffer, int bufferSize, GLint hitCount) {
    std::optional<GLuint> last;
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
        if (nameCount > 0) {
            last = buffer[at + 3 + nameCount - 1];
        }
        at += 3 + nameCount;
    }
    return last;
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
    GLint viewport[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int height = viewport[3] > 0 ? viewport[3] : 1;

    std::array<GLuint, kSelectionBufferSize> buffer{};
    glSelectBuffer(kSelectionBufferSize, buffer.data());
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
    DrawTrajectories(frame, RenderPass::Selection);
    DrawElements(frame, RenderPass::Selection);
    glPopMatrix();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    const GLint hits = glRenderMode(GL_RENDER);
    glMatrixMode(GL_MODELVIEW);

    return LastHitName(buffer.data(), kSelectionBufferSize, hits);
}
