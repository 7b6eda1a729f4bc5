#include "app/cli/CommandTable.h"

#include "base/NumberText.h"
#include "export/SceneExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <set>

namespace {

using Mode = CommandLine::Mode;

// Reads "A<separator>B" as two whole integers, nothing before, between or after them.
bool ParsePair(const std::string& text, char separator, int& first, int& second) {
    const auto at = text.find(separator);
    if (at == std::string::npos) {
        return false;
    }
    const char* begin = text.data();
    const char* middle = begin + at;
    const char* end = begin + text.size();
    auto [firstEnd, firstError] = std::from_chars(begin, middle, first);
    auto [secondEnd, secondError] = std::from_chars(middle + 1, end, second);
    return firstError == std::errc() && firstEnd == middle && secondError == std::errc() &&
           secondEnd == end;
}

Status ApplyBody(const std::string& value, CommandLine& into) {
    into.bodyFile = value;
    return Status::Ok();
}

Status ApplyOutput(const std::string& value, CommandLine& into) {
    into.outputFile = value;
    return Status::Ok();
}

Status ApplyView(const std::string& value, CommandLine& into) {
    static const std::set<std::string> kViews = {"front", "back", "left",
                                                 "right", "top",  "profile"};
    into.view = value;
    // The whole scene depends on the case, which only --render draws.
    const bool sceneView = value == "scene" && into.mode == Mode::Render;
    if (!kViews.contains(value) && !sceneView) {
        return Status::Failure("unknown view \"" + value +
                               "\" (front, back, left, right, top or profile)");
    }
    return Status::Ok();
}

// The farthest patient point --lps accepts, mm: far beyond any scanner, short of losing precision.
constexpr double kLargestLpsCoordinate = 100000;

// The largest image side --size accepts.
constexpr int kMaxSide = 16384;

Status ApplySize(const std::string& value, CommandLine& into) {
    int& width = into.width;
    int& height = into.height;
    if (!ParsePair(value, 'x', width, height) || width <= 0 || height <= 0 || width > kMaxSide ||
        height > kMaxSide) {
        return Status::Failure("--size takes WIDTHxHEIGHT in pixels, for example 800x600");
    }
    return Status::Ok();
}

Status ApplyPixel(const std::string& value, CommandLine& into) {
    if (!ParsePair(value, ',', into.pixelX, into.pixelY) || into.pixelX < 0 || into.pixelY < 0) {
        return Status::Failure(
            "--pixel takes X,Y in pixels from the top left, for example 400,300");
    }
    return Status::Ok();
}

Status ApplyTransparent(const std::string&, CommandLine& into) {
    into.transparent = true;
    return Status::Ok();
}

Status ApplyTransparentScene(const std::string&, CommandLine& into) {
    into.transparentScene = true;
    return Status::Ok();
}

Status ApplyOriginZones(const std::string&, CommandLine& into) {
    into.originZones = true;
    return Status::Ok();
}

// A Series Instance UID: digits and dots, at most 64 characters.
Status ApplySeries(const std::string& value, CommandLine& into) {
    constexpr std::size_t kLongestUid = 64;
    const bool uid = !value.empty() && value.size() <= kLongestUid &&
                     value.find_first_not_of("0123456789.") == std::string::npos;
    if (!uid) {
        return Status::Failure("--series takes a Series Instance UID (digits and dots, at most "
                               "64), for example 1.2.826.0.1.3680043.2.1125.1");
    }
    into.seriesUid = value;
    return Status::Ok();
}

// "X,Y,Z": three numbers, nothing else.
Status ApplyLps(const std::string& value, CommandLine& into) {
    std::size_t start = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const std::size_t comma = axis < 2 ? value.find(',', start) : value.size();
        const std::optional<double> number =
            comma == std::string::npos ? std::nullopt
                                       : ParseNumberToken(value.substr(start, comma - start));
        if (!number || std::fabs(*number) > kLargestLpsCoordinate) {
            return Status::Failure("--lps takes X,Y,Z, a patient point in mm (within 100000 mm "
                                   "of the origin), for example -12.5,80,-340");
        }
        into.lps[static_cast<std::size_t>(axis)] = *number;
        start = comma + 1;
    }
    return Status::Ok();
}

// The pixel is checked once every option is read: --size may come after --pixel.
Status CheckPixelInView(const CommandLine& parsed) {
    if (parsed.pixelX >= parsed.width || parsed.pixelY >= parsed.height) {
        return Status::Failure("--pixel " + std::to_string(parsed.pixelX) + "," +
                               std::to_string(parsed.pixelY) + " lies outside the " +
                               std::to_string(parsed.width) + "x" + std::to_string(parsed.height) +
                               " view");
    }
    return Status::Ok();
}

Status CheckSceneExportPath(const CommandLine& parsed) {
    if (!IsSceneExportPath(parsed.outputFile)) {
        return Status::Failure("--export-scene needs --output SCENE.glb or SCENE.obj");
    }
    return Status::Ok();
}

constexpr CommandTable::OptionUse kBody{.name = "--body"};

CommandTable::Operand CaseOperand() {
    return {.shown = "CASE.txt", .field = &CommandLine::caseFile};
}

CommandTable::Operand CtFolderOperand() {
    return {.shown = "FOLDER", .field = &CommandLine::ctFolder};
}

std::vector<CommandTable::Command> BuildCommands() {
    return {
        {.mode = Mode::Desktop,
         .operands = {{.shown = "[FILE]", .field = &CommandLine::documentFile}},
         .wrongOperands = "the program opens one file at a time",
         .help = "the desktop program (FILE: a body model, a .txt case to open as a data file, or "
                 "a folder of a CT series to open as the body)",
         .needsQt = true},
        {.name = "--summary",
         .mode = Mode::Summary,
         .operands = {CaseOperand()},
         .wrongOperands = "--summary needs a data file",
         .options = {kBody},
         .help = "print the data summary of a case"},
        {.name = "--rewrite",
         .mode = Mode::Rewrite,
         .operands = {CaseOperand(), {.shown = "OUT.txt", .field = &CommandLine::outputFile}},
         .wrongOperands = "--rewrite needs a data file to read and one to write",
         .options = {kBody},
         .help = "read a case and write it back as \"Save data file\" does"},
        {.name = "--render",
         .mode = Mode::Render,
         .operands = {CaseOperand()},
         .wrongOperands = "--render needs a data file",
         .options = {{.name = "--output",
                      .shownValue = "OUT.jpg",
                      .missing = "--render needs --output OUT.jpg"},
                     {.name = "--view"},
                     {.name = "--size"},
                     {.name = "--transparent"},
                     {.name = "--transparent-scene"},
                     {.name = "--origin-zones"},
                     kBody},
         .help = "draw a case offscreen (no display needed) and write the view as a JPEG"},
        {.name = "--surface-point",
         .mode = Mode::SurfacePoint,
         .operands = {CaseOperand()},
         .wrongOperands = "--surface-point needs a data file",
         .options = {{.name = "--pixel", .missing = "--surface-point needs --pixel X,Y"},
                     {.name = "--view"},
                     {.name = "--size"},
                     kBody},
         .help = "print the body point (x y z in cm, body frame: +x toward the body's left, +y "
                 "up, +z toward its front) under pixel X,Y of the image --render draws with the "
                 "same --view and --size",
         .check = CheckPixelInView},
        {.name = "--report",
         .mode = Mode::Report,
         .operands = {CaseOperand()},
         .wrongOperands = "--report needs a data file",
         .options = {{.name = "--output",
                      .shownValue = "R.pdf|R.html|R.json",
                      .missing = "--report needs --output REPORT.pdf, REPORT.html or REPORT.json"},
                     kBody},
         .help = "write the case report (PDF, HTML or JSON, by the output's extension)",
         .needsQt = true},
        {.name = "--export-scene",
         .mode = Mode::ExportScene,
         .operands = {CaseOperand()},
         .wrongOperands = "--export-scene needs a data file",
         .options = {{.name = "--output",
                      .shownValue = "SCENE.glb|SCENE.obj",
                      .missing = "--export-scene needs --output SCENE.glb or SCENE.obj"},
                     kBody},
         .help = "write the body, arrows and elements as a 3-D scene for other tools (glTF binary "
                 "or OBJ, by the output's extension; metres, +X toward the body's left, +Y up, +Z "
                 "toward its front)",
         .check = CheckSceneExportPath},
        {.name = "--origin",
         .mode = Mode::Origin,
         .operands = {CaseOperand()},
         .wrongOperands = "--origin needs a data file",
         .options = {kBody},
         .help = "print where each shot came from: the zone at each muzzle height (scene frame, "
                 "cm; also as distance and bearing from the body, and the share of the "
                 "uncertainty budget's draws that reach the height) and where shot groups "
                 "converge"},
        {.name = "--ct-info",
         .mode = Mode::CtInfo,
         .operands = {CtFolderOperand()},
         .wrongOperands = "--ct-info needs the folder of a CT series",
         .options = {{.name = "--series"}},
         .help = "read a CT series as a case's body is read from it and print its facts, one "
                 "\"key: value\" a line (series, description, date, voxels, spacing, slice "
                 "thickness, hu range, thresholds, body length, skin triangles, bone triangles, "
                 "sha256), then one line a metal object, largest first (metal: k x y z cm, "
                 "volume, extent, peak HU)"},
        {.name = "--ct-point",
         .mode = Mode::CtPoint,
         .operands = {CtFolderOperand()},
         .wrongOperands = "--ct-point needs the folder of a CT series",
         .options = {{.name = "--lps", .missing = "--ct-point needs --lps X,Y,Z"},
                     {.name = "--series"}},
         .help = "print the body-frame point (x y z in cm, three decimals: +x toward the body's "
                 "left, +y toward the head from the soles, +z toward the front from the back) of "
                 "the patient point X,Y,Z (LPS, mm) of the series"},
        {.name = "--carry-to-body",
         .mode = Mode::CarryToBody,
         .operands = {CaseOperand(), {.shown = "OUT.txt", .field = &CommandLine::outputFile}},
         .wrongOperands = "--carry-to-body needs a CT case to read and a data file to write",
         .options = {kBody},
         .help = "carry the trajectories of a case whose body is a CT series to the posable "
                 "body (the default one, or --body) scaled to the CT body's length, each point "
                 "by its height above the soles and its offsets from the midline and the back, "
                 "and write the carried case (never over CASE.txt)"},
        {.name = "--obj-info",
         .mode = Mode::ObjInfo,
         .operands = {{.shown = "MODEL", .field = &CommandLine::modelFile}},
         .wrongOperands = "--obj-info needs exactly one model file",
         .help = "read a body model (any format) and print its counts, groups and box"},
        {.name = "--help",
         .alias = "-h",
         .mode = Mode::Help,
         .wrongOperands = "--help takes no arguments",
         .help = "print this help"},
        {.name = "--version",
         .mode = Mode::Version,
         .wrongOperands = "--version takes no arguments",
         .help = "print the program's name and version"},
    };
}

std::vector<CommandTable::Option> BuildOptions() {
    return {
        {.name = "--output",
         .value = "FILE",
         .file = true,
         .help = "the file the command writes",
         .apply = ApplyOutput},
        {.name = "--body",
         .value = "MODEL",
         .file = true,
         .help = "read the case with this body model instead of the default one",
         .apply = ApplyBody},
        {.name = "--view",
         .value = "V",
         .help = "the view: front (the default), back, left, right, top or profile; --render "
                 "also takes scene, the whole scene seen from afar",
         .apply = ApplyView},
        {.name = "--size",
         .value = "WxH",
         .help = "the image's width and height in pixels (800x600 unless given, at most 16384 "
                 "each)",
         .apply = ApplySize},
        {.name = "--transparent", .help = "draw the body transparent", .apply = ApplyTransparent},
        {.name = "--transparent-scene",
         .help = "draw the case's scene model see-through, the body and the trajectories showing "
                 "through its walls (the scene view always does)",
         .apply = ApplyTransparentScene},
        {.name = "--origin-zones",
         .help = "also draw each trajectory's back line, its uncertainty cone and its origin zone "
                 "at each muzzle height",
         .apply = ApplyOriginZones},
        {.name = "--series",
         .value = "UID",
         .help = "the Series Instance UID of the series to read (without it, the one with the "
                 "most slices)",
         .apply = ApplySeries},
        {.name = "--lps",
         .value = "X,Y,Z",
         .help = "a point of the patient frame (DICOM LPS: +x toward the patient's left, +y "
                 "toward the back, +z toward the head) in mm",
         .apply = ApplyLps},
        {.name = "--pixel",
         .value = "X,Y",
         .help = "the image pixel, counted from 0,0 at the top left",
         .apply = ApplyPixel},
    };
}

} // namespace

const CommandTable::OptionUse* CommandTable::Command::Use(std::string_view option) const {
    const auto use = std::ranges::find(options, option, &OptionUse::name);
    return use == options.end() ? nullptr : &*use;
}

const std::vector<CommandTable::Command>& CommandTable::Commands() {
    static const std::vector<Command> commands = BuildCommands();
    return commands;
}

const std::vector<CommandTable::Option>& CommandTable::Options() {
    static const std::vector<Option> options = BuildOptions();
    return options;
}

std::string_view CommandTable::Notes() {
    return "Body models (FILE, --body and --obj-info): .obj, .ply, .stl, .glb, .gltf, .off.\n"
           "A failure is said on the error stream, and the program ends with status 1 (2 for a "
           "mistake in the command line).\n";
}

const CommandTable::Command* CommandTable::FindCommand(std::string_view name) {
    const auto& commands = Commands();
    const auto command = std::ranges::find_if(commands, [name](const Command& candidate) {
        return candidate.name == name || (!candidate.alias.empty() && candidate.alias == name);
    });
    return command == commands.end() ? nullptr : &*command;
}

const CommandTable::Option* CommandTable::FindOption(std::string_view name) {
    const auto& options = Options();
    const auto option = std::ranges::find(options, name, &Option::name);
    return option == options.end() ? nullptr : &*option;
}
