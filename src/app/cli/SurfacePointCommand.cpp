#include "app/cli/CaseLoading.h"
#include "app/cli/HeadlessCommands.h"
#include "base/TextEscaping.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "view/SurfacePicking.h"
#include "view/ViewState.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <ostream>
#include <sstream>
#include <string>

namespace {

// Centimetres with four decimals; a value that rounds to zero prints without a minus sign.
std::string Centimetres(double metres) {
    double centimetres = std::round(metres * 100 * 10000) / 10000;
    if (centimetres == 0) {
        centimetres = 0;
    }
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(4) << centimetres;
    return text.str();
}

} // namespace

int RunSurfacePointCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    Case theCase;
    if (!LoadCase(commandLine, theCase, err)) {
        return 1;
    }
    // The point under the pixel on the body as the view draws it.
    const PosedCase posed(std::move(theCase));
    if (const Status prepared = posed.GetBody().PrepareSurface(); !prepared) {
        err << "ruvo: " << PrintableText(prepared.message()) << '\n';
        return 1;
    }
    ViewState view;
    ApplyNamedView(view, commandLine.view);
    // The centre of the pixel, in the window coordinates the picking takes.
    const std::optional<SurfaceHit> hit =
        BodySurfaceAt(posed, view.GetCamera(), commandLine.width, commandLine.height,
                      commandLine.pixelX + 0.5, commandLine.pixelY + 0.5);
    if (!hit) {
        err << "No body surface under pixel " << commandLine.pixelX << ',' << commandLine.pixelY
            << ".\n";
        return 1;
    }
    out << Centimetres(hit->point.x) << ' ' << Centimetres(hit->point.y) << ' '
        << Centimetres(hit->point.z) << '\n';
    out.flush();
    if (!out) {
        err << "ruvo: cannot write the point to the standard output\n";
        return 1;
    }
    return 0;
}
