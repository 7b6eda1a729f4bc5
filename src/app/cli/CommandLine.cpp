#include "app/cli/CommandLine.h"

#include "app/cli/CaseLoading.h"
#include "app/cli/CaseReportCommand.h"
#include "app/cli/HeadlessCommands.h"
#include "app/cli/OffscreenRenderCommand.h"
#include "base/AppInfo.h"
#include "base/ScopedDiagnosticSink.h"
#include "export/SceneExport.h"

#include <charconv>
#include <ostream>
#include <set>
#include <string>

namespace {

bool ParseSize(const std::string& text, int& width, int& height) {
    const auto separator = text.find('x');
    if (separator == std::string::npos) {
        return false;
    }
    const char* begin = text.data();
    const char* middle = begin + separator;
    const char* end = begin + text.size();
    auto [widthEnd, widthError] = std::from_chars(begin, middle, width);
    auto [heightEnd, heightError] = std::from_chars(middle + 1, end, height);
    return widthError == std::errc() && widthEnd == middle && heightError == std::errc() &&
           heightEnd == end && width > 0 && height > 0 && width <= 16384 && height <= 16384;
}

bool ParsePixel(const std::string& text, int& x, int& y) {
    const auto separator = text.find(',');
    if (separator == std::string::npos) {
        return false;
    }
    const char* begin = text.data();
    const char* middle = begin + separator;
    const char* end = begin + text.size();
    auto [xEnd, xError] = std::from_chars(begin, middle, x);
    auto [yEnd, yError] = std::from_chars(middle + 1, end, y);
    return xError == std::errc() && xEnd == middle && yError == std::errc() && yEnd == end &&
           x >= 0 && y >= 0;
}

// --view and --size shape the image of --render and the view whose pixel --surface-point reads.
bool TakesViewOptions(CommandLine::Mode mode) {
    return mode == CommandLine::Mode::Render || mode == CommandLine::Mode::SurfacePoint;
}

CommandLine Invalid(std::string message) {
    CommandLine result;
    result.mode = CommandLine::Mode::Invalid;
    result.error = std::move(message);
    return result;
}

// Reads the options that may follow a headless command's operands.
bool ParseOptions(const std::vector<std::string>& arguments, size_t first, CommandLine& result) {
    static const std::set<std::string> kViews = {"front", "back", "left",
                                                 "right", "top",  "profile"};
    std::set<std::string> seen;
    for (size_t i = first; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        // A repeated option would silently take the last value; an empty one would silently fall
        // back to the default body or file. Both are mistakes worth a word.
        if (option.starts_with("--") && !seen.insert(option).second) {
            result.error = option + " is given more than once";
            return false;
        }
        if (hasValue && (option == "--body" || option == "--output") && arguments[i + 1].empty()) {
            result.error = option + " needs a file name, not an empty text";
            return false;
        }
        if (option == "--body" && hasValue) {
            result.bodyFile = arguments[++i];
        } else if (option == "--output" && hasValue &&
                   (result.mode == CommandLine::Mode::Render ||
                    result.mode == CommandLine::Mode::Report ||
                    result.mode == CommandLine::Mode::ExportScene)) {
            result.outputFile = arguments[++i];
        } else if (option == "--view" && hasValue && TakesViewOptions(result.mode)) {
            result.view = arguments[++i];
            // The whole scene depends on the case, which only --render draws.
            const bool sceneView =
                result.view == "scene" && result.mode == CommandLine::Mode::Render;
            if (!kViews.contains(result.view) && !sceneView) {
                result.error = "unknown view \"" + result.view +
                               "\" (front, back, left, right, top or profile)";
                return false;
            }
        } else if (option == "--size" && hasValue && TakesViewOptions(result.mode)) {
            if (!ParseSize(arguments[++i], result.width, result.height)) {
                result.error = "--size takes WIDTHxHEIGHT in pixels, for example 800x600";
                return false;
            }
        } else if (option == "--transparent" && result.mode == CommandLine::Mode::Render) {
            result.transparent = true;
        } else if (option == "--origin-zones" && result.mode == CommandLine::Mode::Render) {
            result.originZones = true;
        } else if (option == "--pixel" && hasValue &&
                   result.mode == CommandLine::Mode::SurfacePoint) {
            if (!ParsePixel(arguments[++i], result.pixelX, result.pixelY)) {
                result.error = "--pixel takes X,Y in pixels from the top left, for example 400,300";
                return false;
            }
        } else {
            result.error = "unexpected argument \"" + option + "\" (see --help)";
            return false;
        }
    }
    return true;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    if (arguments.empty()) {
        return result;
    }
    const std::string& first = arguments[0];
    size_t options = 1;
    if (first == "--help" || first == "-h") {
        result.mode = CommandLine::Mode::Help;
        return arguments.size() == 1 ? result : Invalid("--help takes no arguments");
    }
    if (first == "--version") {
        result.mode = CommandLine::Mode::Version;
        return arguments.size() == 1 ? result : Invalid("--version takes no arguments");
    }
    if (first == "--summary") {
        result.mode = CommandLine::Mode::Summary;
        if (arguments.size() < 2) {
            return Invalid("--summary needs a data file");
        }
        result.caseFile = arguments[1];
        options = 2;
    } else if (first == "--rewrite") {
        result.mode = CommandLine::Mode::Rewrite;
        if (arguments.size() < 3) {
            return Invalid("--rewrite needs a data file to read and one to write");
        }
        result.caseFile = arguments[1];
        result.outputFile = arguments[2];
        options = 3;
    } else if (first == "--render") {
        result.mode = CommandLine::Mode::Render;
        if (arguments.size() < 2) {
            return Invalid("--render needs a data file");
        }
        result.caseFile = arguments[1];
        options = 2;
    } else if (first == "--surface-point") {
        result.mode = CommandLine::Mode::SurfacePoint;
        if (arguments.size() < 2) {
            return Invalid("--surface-point needs a data file");
        }
        result.caseFile = arguments[1];
        options = 2;
    } else if (first == "--export-scene") {
        result.mode = CommandLine::Mode::ExportScene;
        if (arguments.size() < 2) {
            return Invalid("--export-scene needs a data file");
        }
        result.caseFile = arguments[1];
        options = 2;
    } else if (first == "--origin") {
        result.mode = CommandLine::Mode::Origin;
        if (arguments.size() < 2) {
            return Invalid("--origin needs a data file");
        }
        result.caseFile = arguments[1];
        options = 2;
    } else if (first == "--report") {
        result.mode = CommandLine::Mode::Report;
        if (arguments.size() < 2) {
            return Invalid("--report needs a data file");
        }
        result.caseFile = arguments[1];
        options = 2;
    } else if (first == "--obj-info") {
        result.mode = CommandLine::Mode::ObjInfo;
        if (arguments.size() != 2) {
            return Invalid("--obj-info needs exactly one model file");
        }
        result.modelFile = arguments[1];
        return result;
    } else if (first.starts_with("-")) {
        return Invalid("unknown option \"" + first + "\" (see --help)");
    } else {
        if (arguments.size() > 1) {
            return Invalid("the program opens one file at a time");
        }
        result.documentFile = first;
        return result;
    }
    if (!ParseOptions(arguments, options, result)) {
        return Invalid(result.error);
    }
    if (result.mode == CommandLine::Mode::Render && result.outputFile.empty()) {
        return Invalid("--render needs --output OUT.jpg");
    }
    if (result.mode == CommandLine::Mode::SurfacePoint) {
        if (result.pixelX < 0) {
            return Invalid("--surface-point needs --pixel X,Y");
        }
        if (result.pixelX >= result.width || result.pixelY >= result.height) {
            return Invalid("--pixel " + std::to_string(result.pixelX) + "," +
                           std::to_string(result.pixelY) + " lies outside the " +
                           std::to_string(result.width) + "x" + std::to_string(result.height) +
                           " view");
        }
    }
    if (result.mode == CommandLine::Mode::Report && result.outputFile.empty()) {
        return Invalid("--report needs --output REPORT.pdf, REPORT.html or REPORT.json");
    }
    if (result.mode == CommandLine::Mode::ExportScene && !IsSceneExportPath(result.outputFile)) {
        return Invalid("--export-scene needs --output SCENE.glb or SCENE.obj");
    }
    return result;
}

std::string UsageText() {
    return "Usage: ruvo [FILE]\n"
           "       ruvo --summary CASE.txt [--body MODEL.obj]\n"
           "       ruvo --rewrite CASE.txt OUT.txt [--body MODEL.obj]\n"
           "       ruvo --render CASE.txt --output OUT.jpg [--view front|back|left|right|top|"
           "profile]\n"
           "            [--size WxH] [--transparent] [--origin-zones] [--body MODEL.obj]\n"
           "       ruvo --surface-point CASE.txt --pixel X,Y [--view V] [--size WxH]\n"
           "            [--body MODEL.obj]\n"
           "       ruvo --report CASE.txt --output REPORT.(pdf|html|json) [--body MODEL.obj]\n"
           "       ruvo --export-scene CASE.txt --output SCENE.glb|SCENE.obj [--body MODEL.obj]\n"
           "       ruvo --origin CASE.txt [--body MODEL.obj]\n"
           "       ruvo --obj-info MODEL.obj\n"
           "       ruvo --help | --version\n"
           "\n"
           "Without options the desktop program starts; a FILE ending in .obj opens as the body,\n"
           "one ending in .txt as a data file.\n"
           "Body models (FILE and --body): .obj, .ply, .stl, .glb, .gltf, .off.\n"
           "  --summary    print the data summary of a case\n"
           "  --rewrite    read a case and write it back as \"Save data file\" does\n"
           "  --render     draw a case offscreen and save the view as a JPEG (no display needed);\n"
           "               with --origin-zones also each back line, cone and muzzle height's "
           "zone;\n"
           "               --view scene turns about the scene model (or the zones) from afar\n"
           "  --surface-point  print the body surface point (x y z in cm, body frame: +x to the\n"
           "               body's left, +y up, +z to its front) under pixel X,Y of the image\n"
           "               --render draws with the same --view and --size\n"
           "  --report     write the case report (PDF, HTML or JSON, by the output's extension)\n"
           "  --export-scene  write the body, arrows and elements as a glTF binary or OBJ scene\n"
           "               (metres; +X toward the body's left, +Y up, +Z toward its front)\n"
           "  --origin     print where each shot came from: the zone at each muzzle height and\n"
           "               the convergence of shot groups, in the scene frame (cm)\n"
           "  --obj-info   read a Wavefront model and print its counts, groups and box\n"
           "  --body       read the case with this body instead of the default one\n";
}

namespace {

int RunMode(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    switch (commandLine.mode) {
    case CommandLine::Mode::Help:
        out << UsageText();
        return 0;
    case CommandLine::Mode::Version:
        out << GetAppInfo().title << ' ' << GetAppInfo().version << '\n';
        return 0;
    case CommandLine::Mode::Summary:
        return RunSummaryCommand(commandLine, out, err);
    case CommandLine::Mode::Rewrite:
        return RunRewriteCommand(commandLine, out, err);
    case CommandLine::Mode::Render:
        return RunOffscreenRenderCommand(commandLine, err);
    case CommandLine::Mode::SurfacePoint:
        return RunSurfacePointCommand(commandLine, out, err);
    case CommandLine::Mode::Report:
        return RunCaseReportCommand(commandLine, err);
    case CommandLine::Mode::ObjInfo:
        return RunObjInfoCommand(commandLine, out, err);
    case CommandLine::Mode::ExportScene:
        return RunExportSceneCommand(commandLine, out, err);
    case CommandLine::Mode::Origin:
        return RunOriginCommand(commandLine, out, err);
    case CommandLine::Mode::Invalid:
        err << "ruvo: " << commandLine.error << '\n';
        return 2;
    case CommandLine::Mode::Desktop:
        break;
    }
    err << "ruvo: the desktop program is not started by RunHeadless\n";
    return 2;
}

} // namespace

int RunHeadless(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    // What the libraries warn about while the command runs (a material the model lacks, a vertex
    // no triangle uses) is said on `err` as the body's own warnings are, never on `out`, which
    // holds the command's result.
    const ScopedDiagnosticSink warnings(WarningsTo(err));
    return RunMode(commandLine, out, err);
}
