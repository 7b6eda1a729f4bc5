#pragma once

#include "case/Case.h"
#include "case/PosedCase.h"
#include "mesh/ArrowModels.h"
#include "render/HeadlessContext.h"
#include "render/Renderer.h"
#include "view/ViewState.h"

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// Writes small models into a fresh folder laid out like the program's working directory
// (data/default/...): arrows that are boxes 6 cm square, the full one 0.5 m long and the half one
// 0.25 m, both along -Z from the origin; a blue box body 0.2 x 1.8 x 0.2 standing on y = 0, with
// one landmark on its front.
class TestModels {
public:
    TestModels();
    ~TestModels();
    const std::filesystem::path& Root() const { return root; }

    // The OBJ text of an axis-aligned box with outward-facing, counter-clockwise triangles.
    static std::string BoxObj(const std::array<float, 3>& min, const std::array<float, 3>& max,
                              const std::string& materialLibrary, const std::string& material);

private:
    std::filesystem::path root;
};

// The program's default models, read from ./data/default below the current folder (the project
// folder, where the tests run, or a TestModels root): the body into `theCase` (its model file
// named), the arrows into `arrows`. The first failure when any cannot be read.
Status LoadDefaultModels(Case& theCase, std::shared_ptr<const ArrowModels>& arrows);

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// A case drawn by the real renderer into a headless framebuffer, with the test models loaded and
// the front view. The tests change the case as they please; each frame and each pick draws it
// posed as it is then.
class RenderHarness {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;

    RenderHarness();
    ~RenderHarness();
    bool Ready() const { return ready; }
    const std::string& Error() const { return error; }

    Case& GetCase() { return theCase; }
    ViewState& GetView() { return view; }
    // The case as the last frame or pick drew it.
    const PosedCase& Posed() const { return posed; }
    const std::shared_ptr<const ArrowModels>& Arrows() const { return arrows; }
    void Render(); // poses the case, draws one frame and waits for it
    void Resize(int width, int height) { renderer.Resize(width, height); }
    Rgb Pixel(int x, int y) const; // y counted from the bottom row, as OpenGL does
    // Where a world point lands in the framebuffer (x right, y up from the bottom row).
    std::array<double, 2> Project(double x, double y, double z) const;
    // The pixel a world point lands on.
    Rgb PixelAt(double x, double y, double z) const;
    // Picks at the framebuffer pixel (x from the left, y from the bottom row).
    void PickAt(double x, double y);
    // The metal object (its index in the scan's list) whose ball is drawn at that pixel.
    std::optional<int> PickMetalAt(double x, double y);

    // A trajectory from IN at (x, y, z) 0.3 m along -Z (its arrow unturned), in the colour; a
    // reference into the case, good until the case holds more than it may.
    Trajectory& AddTrajectory(bool exited, double x, double y, double z, double r, double g,
                              double b);
    // A ball of diameter `width` centred at (x, y, z), in the colour.
    Element& AddElement(double x, double y, double z, double width, double r, double g, double b);

private:
    TestModels models;
    std::unique_ptr<HeadlessContext> context;
    Case theCase;
    PosedCase posed;
    std::shared_ptr<const ArrowModels> arrows;
    ViewState view;
    Renderer renderer;
    bool ready = false;
    std::string error;
};

// Runs the program (RUVO_BINARY) in `folder` with `arguments`; returns its exit status and puts
// its standard error in `errorText`. With a time limit the program is stopped after that many
// seconds (status 124), for commands that must never wait, such as one aimed at a FIFO.
int RunRuvo(const std::filesystem::path& folder, const std::string& arguments,
            std::string& errorText, int timeLimitSeconds = 0);

// What the dynamic loader loads to start `program`, as it lists it, without running the program.
std::string LoadedLibraries(const std::string& program);
