#include "render/ElementPass.h"

#include "case/Case.h"
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
    double r = 0, g = 0, b = 0;
    element.GetColor(r, g, b);
    glColor3f(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
    if (element.GetText().empty()) {
        return;
    }
    // Unlit, so that the label shows the element's own colour.
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 0, kLabelHeight);
    glEnd();
    glRasterPos3d(0, 0, kLabelHeight);
    font.DrawText(element.GetText());
    glEnable(GL_LIGHTING);
}

void DrawElement(const FrameContext& frame, int number, RenderPass pass) {
    const Element& element = *frame.theCase.GetElements().GetItem(number - 1);
    const ViewState& view = frame.view;
    const bool selected = number == view.GetSelectedElementNumber();
    glTranslated(element.GetX(), element.GetY(), element.GetZ());
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
    glRotated(element.GetYaw(), 0, 1, 0);
    glRotated(element.GetPitch(), 1, 0, 0);
    glRotated(element.GetRoll(), 0, 0, 1);
    if (selected) {
        const auto& bounds = element.GetBounds();
        DrawBox(static_cast<float>(bounds[0]), static_cast<float>(bounds[1]),
                static_cast<float>(bounds[2]), static_cast<float>(bounds[3]),
                static_cast<float>(bounds[4]), static_cast<float>(bounds[5]));
    }
    DrawElementShape(element, frame.shapes);
}

} // namespace

void DrawElementShape(const Element& element, ShapeListCache* shapes) {
    // A width of 0 would stretch the sphere by an infinite (or undefined) factor.
    const double width = element.GetWidth();
    if (width == 0.0 || !std::isfinite(width)) {
        return;
    }
    const double heightRatio = element.GetHeight() / width;
    const double lengthRatio = element.GetLength() / width;
    if (!std::isfinite(heightRatio) || !std::isfinite(lengthRatio)) {
        return;
    }
    double r = 0, g = 0, b = 0;
    element.GetColor(r, g, b);
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), 1.0f);
    glPushMatrix();
    glScaled(1.0, heightRatio, lengthRatio);
    DrawSphere(width * 0.5, kSphereSegments, shapes);
    glPopMatrix();
}

void DrawElements(const FrameContext& frame, RenderPass pass) {
    const int count = frame.theCase.GetElements().GetCount();
    for (int number = 1; number <= count; ++number) {
        glPushMatrix();
        DrawElement(frame, number, pass);
        glPopMatrix();
    }
}
