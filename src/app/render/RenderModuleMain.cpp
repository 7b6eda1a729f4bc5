// The entry point of the offscreen picture's module (libruvo_render_command.so), which the
// executable loads only for `ruvo --render`, so that the other commands never load OpenGL.

#include "app/cli/CommandModule.h"
#include "app/render/OffscreenRenderCommand.h"
#include "docs/AppInfo.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int
RuvoRenderMain(const CommandLine& commandLine, std::ostream&, std::ostream& err) {
    GetAppInfo(); // the module's own copy records the start directory, as the executable's did
    return RunOffscreenRenderCommand(commandLine, err);
}

static_assert(std::is_same_v<decltype(RuvoRenderMain), RuvoCommandFunction>,
              "the executable calls the entry through RuvoCommandFunction");
