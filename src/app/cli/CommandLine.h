#pragma once

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

// What the command line asks for: the desktop window (with an optional file to open), or one of
// the headless commands that need no display.
struct CommandLine {
    enum class Mode {
        Desktop,
        Help,
        Version,
        Summary,
        Rewrite,
        Render,
        SurfacePoint,
        Report,
        ObjInfo,
        ExportScene,
        Origin,
        CtInfo,
        CtPoint,
        CarryToBody,
        Invalid
    };

    Mode mode = Mode::Desktop;
    std::string documentFile; // Desktop: a body model or a ".txt" data file to open
    std::string caseFile;     // Summary, Rewrite, Render, SurfacePoint, Report, ExportScene, Origin
    std::string outputFile;   // Rewrite, Render, Report, ExportScene, CarryToBody
    std::string bodyFile;     // every case command: a body instead of the default one
    std::string modelFile;    // ObjInfo
    std::string ctFolder;     // CtInfo, CtPoint: the folder of the CT series
    std::string seriesUid;    // CtInfo, CtPoint: the series to read; empty: the most slices
    std::array<double, 3> lps{}; // CtPoint: the patient point, mm
    std::string view = "front";
    int width = 800;
    int height = 600;
    bool transparent = false;
    bool transparentScene =
        false;                // Render: the scene model see-through (always so in the scene view)
    bool originZones = false; // Render: draw the back lines, cones and origin zones
    int pixelX = -1;          // SurfacePoint: the image pixel, (0, 0) at the top left
    int pixelY = -1;
    std::string error; // Invalid: what is wrong
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text of --help.
std::string UsageText();

// Whether the mode is run by the program with Qt (the desktop program, the report), which `ruvo`
// starts in its place.
bool NeedsQt(const CommandLine& commandLine);

// Runs a mode that needs no Qt (everything but Desktop and Report); returns the process exit
// status.
int RunHeadless(const CommandLine& commandLine, std::ostream& out, std::ostream& err);
