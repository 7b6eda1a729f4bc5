#include "app/cli/OffscreenRenderCommand.h"

#include "app/cli/CaseLoading.h"

#include "case/Case.h"
#include "case/DataFile.h"
#include "export/JpegWriter.h"
#include "render/FramebufferCapture.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"

#include <GL/gl.h>

#include <ostream>
#include <string>

namespace {

constexpr int kJpegQuality = 100;

// Detaches the renderer from the scene before either goes away.
struct RendererAttachment {
    Case& scene;
    RendererAttachment(Case& s, SceneRenderer& renderer) : scene(s) {
        scene.SetRenderer(&renderer);
    }
    ~RendererAttachment() {
        scene.DestroyContext();
        scene.SetRenderer(nullptr);
    }
};

} // namespace

int RunOffscreenRenderCommand(const CommandLine& commandLine, std::ostream& err) {
    std::string error;
    const auto context = HeadlessContext::Create(commandLine.width, commandLine.height, error);
    if (!context) {
        err << "ruvo: " << error << '\n';
        return 1;
    }
    Case scene;
    Renderer renderer;
    RendererAttachment attachment(scene, renderer);
    if (!commandLine.bodyFile.empty()) {
        scene.SetBodyModelFile(commandLine.bodyFile);
    }
    if (scene.CreateContext(&error) != 0) {
        err << "ruvo: " << error << '\n';
        return 1;
    }
    const DataFileReadResult read = DataFile(scene).Read(commandLine.caseFile);
    if (!read.ok()) {
        err << "ruvo: " << read.status.message() << '\n';
        return 1;
    }
    if (read.LeftSomethingOut()) {
        err << "ruvo: " << read.LeftOutMessage() << '\n';
    }
    ApplyNamedView(scene, commandLine.view);
    if (commandLine.transparent) {
        scene.ToggleBodyTransparency();
    }
    scene.Resize(commandLine.width, commandLine.height);
    scene.RenderFrame();
    glFinish();
    const CapturedImage image = CaptureFramebuffer(commandLine.width, commandLine.height);
    if (!WriteJpeg(&image, kJpegQuality, commandLine.outputFile, error)) {
        err << "ruvo: " << error << '\n'; // the writer's text names the file and the reason
        return 1;
    }
    return 0;
}
