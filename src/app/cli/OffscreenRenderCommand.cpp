#include "app/cli/OffscreenRenderCommand.h"

#include "app/cli/CaseLoading.h"

#include "case/Case.h"
#include "casefile/DataFile.h"
#include "export/JpegWriter.h"
#include "render/FramebufferCapture.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"
#include "view/ViewState.h"
#include "world/SceneFraming.h"

#include <GL/gl.h>

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
        err << "ruvo: " << error << '\n';
        return 1;
    }
    Case theCase;
    ViewState view;
    Renderer renderer;
    const ContextRelease release{renderer};
    view.ViewFront();
    DefaultModelFiles models = DefaultModelFiles::Located();
    if (!commandLine.bodyFile.empty()) {
        models.body = commandLine.bodyFile;
    }
    if (const Status loaded = theCase.LoadModels(models, WarningsTo(err)); !loaded) {
        err << "ruvo: " << loaded.message() << '\n';
        return 1;
    }
    if (!renderer.InitializeContext()) {
        err << "ruvo: The OpenGL context could not be set up\n";
        return 1;
    }
    const DataFileReadResult read = DataFile::Read(theCase, commandLine.caseFile);
    if (!read.ok()) {
        err << "ruvo: " << read.status.message() << '\n';
        return 1;
    }
    ReportReadingNotes(read.ReadingNotes(), err);
    LoadCaseScene(commandLine, theCase, err);
    ApplyNamedView(view, commandLine.view);
    if (commandLine.view == "scene") {
        const SceneFraming framing = FrameScene(theCase);
        view.OrbitAround(framing.centre, framing.radius);
    }
    if (commandLine.transparent) {
        view.ToggleBodyTransparency();
    }
    if (commandLine.originZones) {
        view.ToggleOriginZones();
    }
    renderer.Resize(commandLine.width, commandLine.height);
    renderer.RenderFrame(theCase, view);
    glFinish();
    const CapturedImage image = CaptureFramebuffer(commandLine.width, commandLine.height);
    if (!WriteJpeg(&image, kJpegQuality, commandLine.outputFile, error)) {
        err << "ruvo: " << error << '\n'; // the writer's text names the file and the reason
        return 1;
    }
    return 0;
}
