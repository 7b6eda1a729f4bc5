#include "report/ReportWriter.h"

#include "base/FileAccess.h"
#include "case/PosedCase.h"
#include "mesh/ArrowModels.h"
#include "render/CloseUpViews.h"
#include "render/StandardViews.h"
#include "report/BodyDiagrams.h"
#include "report/CloseUpFigure.h"
#include "report/CtTrackFigure.h"
#include "report/ReportHtml.h"
#include "report/ReportJson.h"
#include "report/ReportPdf.h"
#include "report/ReportPlanView.h"

#include <QBuffer>
#include <QImage>

#include <map>

static void InitReportResources() {
    Q_INIT_RESOURCE(report);
}

namespace {

// Widths on the page: a PDF page's images are laid out in pixels of 1/96 inch (about 680 across
// between the margins), a browser page in pixels.
constexpr int kPdfViewWidth = 460;
constexpr int kPdfAxesWidth = 400;
constexpr int kPdfFullWidth = 670;
constexpr int kHtmlViewWidth = 800;
constexpr int kHtmlAxesWidth = 520;
// The diagrams some 10 cm tall on page 1, over a third of the page, so that each wound's number
// reads at a glance.
constexpr int kPdfDiagramWidth = 380;
constexpr int kHtmlDiagramWidth = 640;
constexpr int kDiagramHeight = 900; // pixels of the picture
constexpr int kPdfCloseUpWidth = 480;

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
    if (text.size() < suffix.size()) {
        return false;
    }
    for (size_t i = 0; i < suffix.size(); ++i) {
        const char c = text[text.size() - suffix.size() + i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != suffix[i]) {
            return false;
        }
    }
    return true;
}

// A 32-bit bitmap (rows bottom first, bytes blue, green, red, unused) as an opaque image.
QImage QImageFromCapturedImage(const CapturedImage& dib) {
    // The header's fields are read once: each read decodes them from the bytes again.
    const int width = dib.Width();
    const int height = dib.Height();
    const uint8_t* pixels = dib.Pixels();
    const std::size_t stride = dib.RowStride();
    QImage image(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        const uint8_t* source = pixels + stride * (height - 1 - row);
        auto* target = reinterpret_cast<uint32_t*>(image.scanLine(row));
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = source + 4 * static_cast<std::size_t>(x);
            target[x] = 0xff000000u | (uint32_t{pixel[2]} << 16) | (uint32_t{pixel[1]} << 8) |
                        uint32_t{pixel[0]};
        }
    }
    return image;
}

std::string PngDataUrl(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // zlib's fastest level (quality 80): pictures some 7 % larger, written several times quicker.
    image.save(&buffer, "PNG", 80);
    return "data:image/png;base64," + png.toBase64().toStdString();
}

struct Figures {
    std::vector<ReportFigure> list;
    std::map<std::string, QImage> images;
};

// What the views are drawn from: the posed case, the arrows and the display switches.
struct ViewSource {
    const PosedCase& posed;
    std::shared_ptr<const ArrowModels> arrows;
    const ViewState& view;
};

// Each trajectory's close-up with its scale bar.
Status CollectCloseUps(const ViewSource& source, const CaseReport& report, ReportFormat format,
                       Figures& figures) {
    // The cones drawn are the budgets' own, from many more draws than a view makes.
    std::vector<std::optional<double>> cones95;
    for (const TrajectoryFacts& trajectory : report.trajectories) {
        cones95.push_back(trajectory.budget ? std::optional(trajectory.budget->cone95)
                                            : std::nullopt);
    }
    std::string error;
    const auto closeUps = RenderCloseUps(source.posed, source.view, source.arrows, kReportViewWidth,
                                         kReportViewHeight, error, cones95);
    if (!closeUps) {
        return Status::Failure("cannot draw the close-ups of the trajectories: " + error);
    }
    for (const CloseUpView& close : *closeUps) {
        QImage image = QImageFromCapturedImage(close.image);
        DrawTrackMarks(image, close);
        DrawScaleBar(image, close.framing.pixelsPerMetre);
        const double bar = ScaleBarCentimetres(close.framing.pixelsPerMetre, image.width());
        const std::string name = CloseUpFigureName(close.number);
        figures.list.push_back({name, CloseUpCaption(close.number, close.framing, bar),
                                format == ReportFormat::Pdf ? kPdfCloseUpWidth : kHtmlViewWidth});
        figures.images[name] = image;
    }
    return Status::Ok();
}

// For a body drawn from a CT series, each trajectory's slice along its track.
void CollectCtTracks(const PosedCase& posed, ReportFormat format, Figures& figures) {
    const Case& theCase = posed.GetCase();
    if (!theCase.ct.scan) {
        return;
    }
    for (const PosedTrajectory& track : posed.GetTrajectories()) {
        const Trajectory* trajectory = theCase.TrajectoryNumbered(track.number);
        if (trajectory == nullptr) {
            continue;
        }
        auto image =
            DrawCtTrackFigure(*theCase.ct.scan, *trajectory, track.number, kReportViewWidth);
        if (!image) {
            continue; // IN and OUT coincide: there is no plane to show
        }
        const std::string name = CtTrackFigureName(track.number);
        figures.list.push_back({name, CtTrackFigureCaption(track.number),
                                format == ReportFormat::Pdf ? kPdfCloseUpWidth : kHtmlViewWidth});
        figures.images[name] = std::move(*image);
    }
}

Status CollectFigures(const ViewSource& source, const CaseReport& report, ReportFormat format,
                      Figures& figures) {
    const bool pdf = format == ReportFormat::Pdf;
    InitReportResources();
    figures.list.push_back({"diagrams",
                            "Body diagrams, front and back, anatomical position: each entry (IN) "
                            "a numbered circle, each exit (OUT) a numbered square",
                            pdf ? kPdfDiagramWidth : kHtmlDiagramWidth});
    figures.images["diagrams"] =
        DrawBodyDiagrams(source.posed.GetCase().body, report.wounds, kDiagramHeight);
    const QImage axes(QStringLiteral(":/report/axes.png"));
    if (!axes.isNull()) {
        figures.list.push_back({"axes",
                                "The direction angle seen from above, and the elevation angle",
                                pdf ? kPdfAxesWidth : kHtmlAxesWidth});
        figures.images["axes"] = axes;
    }
    std::string error;
    const auto views = RenderStandardViews(source.posed, source.view, source.arrows,
                                           kReportViewWidth, kReportViewHeight, error);
    if (!views) {
        return Status::Failure("cannot draw the views of the case: " + error);
    }
    for (const StandardView& view : *views) {
        const std::string name = "view-" + view.name;
        figures.list.push_back({name, view.caption, pdf ? kPdfViewWidth : kHtmlViewWidth});
        figures.images[name] = QImageFromCapturedImage(view.image);
    }
    CollectCtTracks(source.posed, format, figures);
    return CollectCloseUps(source, report, format, figures);
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The document information and the running header and footer of the PDF.
ReportPdfFrame PdfFrame(const CaseReport& report) {
    const CaseInfo& info = report.caseInfo;
    ReportPdfFrame frame;
    frame.title = Text(report.software + " case report");
    if (!info.Number().empty()) {
        frame.title = Text("Case report " + info.Number());
    }
    frame.author = Text(info.Examiner());
    frame.subject = Text(info.Number());
    frame.creator = Text(report.software);
    frame.header =
        Text("Case " + (info.Number().empty() ? "number not given" : info.Number()) +
             "   \u00b7   Decedent " + (info.Decedent().empty() ? "not given" : info.Decedent()));
    constexpr size_t kHashDigitsShown = 16;
    const FileFact& file = report.caseFile;
    frame.footerLeft = file.name.empty() ? QStringLiteral("Case file not saved")
                       : file.sha256
                           ? Text("Case file SHA-256 " + file.sha256->substr(0, kHashDigitsShown))
                           : Text("Case file " + file.name + " cannot be read");
    frame.footerRight = Text(report.software);
    return frame;
}

} // namespace

std::optional<ReportFormat> ReportFormatForPath(const std::string& path) {
    if (EndsWithNoCase(path, ".pdf")) {
        return ReportFormat::Pdf;
    }
    if (EndsWithNoCase(path, ".html") || EndsWithNoCase(path, ".htm")) {
        return ReportFormat::Html;
    }
    if (EndsWithNoCase(path, ".json")) {
        return ReportFormat::Json;
    }
    return std::nullopt;
}

Status BuildCaseReport(const PosedCase& posed, const ArrowModels& arrows, const ViewState& view,
                       ReportFormat format, const ReportSource& source, std::string& bytes) {
    const CaseReport report = GatherCaseReport(posed, source);
    if (format == ReportFormat::Json) {
        return FormatReportJson(report, bytes);
    }
    Figures figures;
    // The renderer keeps the arrows it draws: it shares these meshes, it does not copy them.
    const ViewSource views{posed, std::make_shared<const ArrowModels>(arrows), view};
    if (Status status = CollectFigures(views, report, format, figures); !status.ok()) {
        return status;
    }
    figures.images[kPlanViewImage] = DrawPlanView(posed, report.origin);
    figures.list.push_back({kPlanViewImage, PlanViewCaption(PlanViewTurned(posed, report.origin)),
                            format == ReportFormat::Pdf ? kPdfFullWidth : kHtmlViewWidth});
    if (format == ReportFormat::Html) {
        bytes = FormatReportHtml(report, figures.list, [&figures](const std::string& name) {
            return PngDataUrl(figures.images[name]);
        });
        return Status::Ok();
    }
    const std::vector<ReportBlock> blocks =
        FormatReportBlocks(report, figures.list, [](const std::string& name) { return name; });
    const QByteArray pdf = RenderReportPdf(blocks, figures.images, PdfFrame(report));
    if (pdf.isEmpty()) {
        return Status::Failure("the PDF could not be laid out");
    }
    bytes.assign(pdf.constData(), static_cast<size_t>(pdf.size()));
    return Status::Ok();
}

Status WriteCaseReport(const PosedCase& posed, const ArrowModels& arrows, const ViewState& view,
                       const std::string& path, const ReportSource& source) {
    const auto format = ReportFormatForPath(path);
    if (!format) {
        return Status::Failure("Cannot write the report \"" + path +
                               "\": its name must end in .pdf, .html or .json");
    }
    std::string bytes;
    if (Status status = BuildCaseReport(posed, arrows, view, *format, source, bytes);
        !status.ok()) {
        return Status::Failure("Cannot write the report \"" + path + "\": " + status.message());
    }
    if (const int error = ReplaceFileContents(path, bytes)) {
        return Status::Failure("Cannot write the report \"" + path + "\": " + FileErrorText(error));
    }
    return Status::Ok();
}
