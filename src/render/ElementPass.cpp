#include "render/ElementPass.h"

#include "case/EntryNumber.h"
#include "case/PosedCase.h"
#include "render/BitmapFont.h"
#include "render/FrameContext.h"
#include "render/Handles.h"
#include "render/Primitives.h"
#include "view/ViewState.h"

#include <GL/gl.h>

#include <cmath>

namespace {

constexpr double kLabelHeight = 0.1;
constexpr int kSphereSegments = 32;

void DrawLabel(const Element& element, const BitmapFont& font) {
    glColor3f(static_cast<float>(element.color.x), static_cast<float>(element.color.y),
              static_cast<float>(element.color.z));
    if (element.label.empty()) {
        return;
    }
    // Unlit, so that the label shows the element's own colour.
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 0, kLabelHeight);
    glEnd();
    glRasterPos3d(0, 0, kLabelHeight);
    font.DrawText(element.label);
    glEnable(GL_LIGHTING);
}

void DrawElement(const FrameContext& frame, const Element& element, int number, RenderPass pass) {
    const ViewState& view = frame.view;
    const bool selected = number == view.GetSelectedElementNumber();
    glTranslated(element.centre.x, element.centre.y, element.centre.z);
    LoadPickName(pass, pick_names::ForElement(number));
    if (view.Switches().text) {
        DrawLabel(element, frame.font);
    }
    if (selected) {
        if (view.GetManipulationMode() == ManipulationMode::Move) {
            DrawMoveHandles(pass, view.GetSelectedHandle());
        } else if (view.GetManipulationMode() == ManipulationMode::Rotate) {
            DrawRotateHandles(frame, pass, view.GetSelectedHandle());
        }
    }
    // The handles loaded their own names; what follows is the element again.
    LoadPickName(pass, pick_names::ForElement(number));
    glRotated(element.yaw, 0, 1, 0);
    glRotated(element.pitch, 1, 0, 0);
    glRotated(element.roll, 0, 0, 1);
    if (selected) {
        // The box of the solid: half the extents each way from the centre.
        const Vec3 half = {element.size.x / 2, element.size.y / 2, element.size.z / 2};
        DrawBox(static_cast<float>(-half.x), static_cast<float>(-half.y),
                static_cast<float>(-half.z), static_cast<float>(half.x), static_cast<float>(half.y),
                static_cast<float>(half.z));
    }
    DrawElementShape(element, frame.shapes);
}

} // namespace

void DrawElementShape(const Element& element, ShapeListCache* shapes) {
    // A width of 0 would stretch the sphere by an infinite (or undefined) factor.
    const double width = element.size.x;
    if (width == 0.0 || !std::isfinite(width)) {
        return;
    }
    const double heightRatio = element.size.y / width;
    const double lengthRatio = element.size.z / width;
    if (!std::isfinite(heightRatio) || !std::isfinite(lengthRatio)) {
        return;
    }
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(static_cast<float>(element.color.x), static_cast<float>(element.color.y),
              static_cast<float>(element.color.z), 1.0f);
    glPushMatrix();
    glScaled(1.0, heightRatio, lengthRatio);
    DrawSphere(width * 0.5, kSphereSegments, shapes);
    glPopMatrix();
}

void DrawElements(const FrameContext& frame, RenderPass pass) {
    const std::vector<Element>& elements = frame.posed.GetCase().elements;
    for (std::size_t index = 0; index < elements.size(); ++index) {
        glPushMatrix();
        DrawElement(frame, elements[index], NumberOfIndex(index), pass);
        glPopMatrix();
    }
}
