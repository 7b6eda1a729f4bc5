#include "app/cli/OffscreenRenderCommand.h"

#include "app/cli/CaseLoading.h"

#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "export/JpegWriter.h"
#include "mesh/ArrowModels.h"
#include "render/FramebufferCapture.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"
#include "view/ViewState.h"
#include "world/SceneFraming.h"

#include <GL/gl.h>

#include <memory>
#include <ostream>
#include <string>

namespace {

constexpr int kJpegQuality = 100;

// Releases what the renderer keeps in the context before the context goes away.
struct ContextRelease {
    FrameRenderer& renderer;
    ~ContextRelease() { renderer.DestroyContext(); }
};

} // namespace

int RunOffscreenRenderCommand(const CommandLine& commandLine, std::ostream& err) {
    std::string error;
    const auto context = HeadlessContext::Create(commandLine.width, commandLine.height, error);
    if (!context) {
        err << "ruvo: " << PrintableText(error) << '\n';
        return 1;
    }
    Case theCase;
    const auto arrows = std::make_shared<ArrowModels>();
    ViewState view;
    Renderer renderer;
    const ContextRelease release{renderer};
    view.ViewFront();
    const Status loaded =
        ReadModels(ModelFilesOf(commandLine), theCase, arrows.get(), WarningsTo(err));
    if (!loaded) {
        err << "ruvo: " << PrintableText(loaded.message()) << '\n';
        return 1;
    }
    renderer.SetArrowModels(arrows);
    if (!renderer.InitializeContext()) {
        err << "ruvo: The OpenGL context could not be set up\n";
        return 1;
    }
    if (!ReadCaseFile(commandLine, theCase, err)) {
        return 1;
    }
    LoadCaseScene(commandLine, theCase, err);
    const PosedCase posed(std::move(theCase));
    ApplyNamedView(view, commandLine.view);
    if (commandLine.view == "scene") {
        const SceneFraming framing = FrameScene(posed);
        view.OrbitAround(framing.centre, framing.radius);
    }
    // Seen from afar a room shows only its outer walls: the scene view sees through them.
    if (commandLine.transparentScene || commandLine.view == "scene") {
        view.ToggleSceneTransparency();
    }
    if (commandLine.transparent) {
        view.ToggleBodyTransparency();
    }
    if (commandLine.originZones) {
        view.ToggleOriginZones();
    }
    renderer.Resize(commandLine.width, commandLine.height);
    renderer.RenderFrame(posed, view);
    glFinish();
    const CapturedImage image = CaptureFramebuffer(commandLine.width, commandLine.height);
    if (!WriteJpeg(&image, kJpegQuality, commandLine.outputFile, error)) {
        err << "ruvo: " << PrintableText(error)
            << '\n'; // the writer's text names the file and the reason
        return 1;
    }
    return 0;
}
