#include "render/CtBonePass.h"

#include "case/PosedCase.h"
#include "ct/CtScan.h"
#include "mesh/MeshSmoothing.h"
#include "render/FrameContext.h"
#include "render/MeshDrawing.h"
#include "view/ViewState.h"

#include <GL/gl.h>

namespace {

// The scan's surfaces are in centimetres, the case in metres.
constexpr double kMetresPerCentimetre = 0.01;

} // namespace

const Mesh& CtBonePass::Drawable(const std::shared_ptr<const Mesh>& bone) {
    if (!bone->normals.empty()) {
        return *bone;
    }
    if (bone != source) {
        auto copy = std::make_shared<Mesh>(*bone);
        ComputePositionNormals(*copy);
        copy->revision = NextMeshRevision();
        source = bone;
        drawable = std::move(copy);
    }
    return *drawable;
}

void CtBonePass::Draw(const FrameContext& frame) {
    const Case& theCase = frame.posed.GetCase();
    if (!frame.view.Switches().bodyTransparent || !theCase.ct.scan || !theCase.ct.scan->bone ||
        theCase.ct.scan->bone->triangles.empty()) {
        return;
    }
    const Body& body = theCase.body;
    const Mesh* skin = body.GetModel();
    if (skin == nullptr || !(skin->fitSize[1] > 0)) {
        return;
    }
    const Mesh& bone = Drawable(theCase.ct.scan->bone);
    // The skin is drawn from its fitted mesh: the scan's skin (metres) scaled by the fit and
    // moved by MeshToRest. The bone, in the same frame, is taken the same way, so that it stays
    // inside the skin whatever the body's drawing does with it.
    const double fitScale = body.GetBodyModel()->BaseHeight() / skin->fitSize[1];
    const double toFitted = fitScale * kMetresPerCentimetre;
    const Vec3 shift = body.MeshToRest();
    glPushMatrix();
    glMultMatrixd(body.DrawTransform().Data());
    glTranslated(-shift.x, -shift.y, -shift.z);
    glScaled(toFitted, toFitted, toFitted);
    glEnable(GL_COLOR_MATERIAL);
    glColor4f(kBoneColor[0], kBoneColor[1], kBoneColor[2], 1.0f);
    // The fixed pipeline does not renormalise: the normals are shortened by the scales the
    // drawing lengthens them by, and lit as the skin is.
    DrawMesh(bone, RENDER_SMOOTH, 1.0f, static_cast<float>(toFitted) * body.GetNormalScale(),
             frame.meshes);
    glPopMatrix();
}
