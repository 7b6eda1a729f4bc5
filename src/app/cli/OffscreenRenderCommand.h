#pragma once

#include "app/cli/CommandLine.h"

#include <ostream>

// `ruvo --render CASE.txt --output OUT.jpg [--view V] [--size WxH] [--transparent]
// [--transparent-scene] [--origin-zones] [--body MODEL]`: draws the case in a headless context
// exactly as the view does and writes the JPEG. Says nothing on success; a failure is one line on
// `err` and status 1.
int RunOffscreenRenderCommand(const CommandLine& commandLine, std::ostream& err);
