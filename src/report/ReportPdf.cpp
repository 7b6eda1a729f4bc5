#include "report/ReportPdf.h"

#include "report/PdfInformation.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include <memory>

namespace {

constexpr int kPdfResolution = 300; // dots per inch of the page's drawing
constexpr double kSideMarginMm = 15;
constexpr double kTopMarginMm = 20;    // the running header stands in it
constexpr double kBottomMarginMm = 20; // and the footer in this one
constexpr double kFrameTextPoints = 8;

double Dots(double millimetres) {
    return millimetres / 25.4 * kPdfResolution;
}

// One piece laid out at the width of the page's text.
class LaidOutBlock {
public:
    LaidOutBlock(const std::string& html, const std::map<std::string, QImage>& images,
                 QPagedPaintDevice& device, double width) {
        // No shaping means no ligatures: text taken from the PDF reads "fi", never the single
        // ligature character a search would miss.
        QFont font = document.defaultFont();
        font.setStyleStrategy(QFont::PreferNoShaping);
        document.setDefaultFont(font);
        document.setDocumentMargin(0);
        document.documentLayout()->setPaintDevice(&device);
        for (const auto& [name, image] : images) {
            if (html.find("\"" + name + "\"") != std::string::npos) {
                document.addResource(QTextDocument::ImageResource,
                                     QUrl(QString::fromStdString(name)), image);
            }
        }
        document.setHtml(QString::fromStdString(html));
        document.setTextWidth(width);
    }

    double Height() const { return document.size().height(); }
    // Draws the stretch [from, from + height) of the block with its top at `top`.
    void Draw(QPainter& painter, double left, double top, double from, double height) {
        painter.save();
        painter.translate(left, top - from);
        document.drawContents(&painter, QRectF(0, from, document.textWidth(), height));
        painter.restore();
    }

private:
    QTextDocument document;
};

struct Placed {
    std::shared_ptr<LaidOutBlock> block;
    double top = 0;  // on the page's text area
    double from = 0; // the stretch of the block shown: only a block taller than a page has more
    double height = 0;
};

// Lays out the blocks page by page.
class Paginator {
public:
    Paginator(const std::map<std::string, QImage>& namedImages, QPagedPaintDevice& target,
              double textWidth, double textHeight)
        : images(namedImages), device(target), width(textWidth), pageHeight(textHeight) {
        pages.emplace_back();
    }

    void Run(const std::vector<ReportBlock>& blocks) {
        for (size_t i = 0; i < blocks.size();) {
            if (blocks[i].newPage && used > 0) {
                NewPage();
            }
            if (blocks[i].table.empty()) {
                Place(Layout(blocks[i].html));
                ++i;
            } else {
                i = PlaceTable(blocks, i);
            }
        }
    }

    const std::vector<std::vector<Placed>>& Pages() const { return pages; }

private:
    std::shared_ptr<LaidOutBlock> Layout(const std::string& html) {
        return std::make_shared<LaidOutBlock>(html, images, device, width);
    }

    void NewPage() {
        pages.emplace_back();
        used = 0;
    }

    void Place(const std::shared_ptr<LaidOutBlock>& block) {
        const double height = block->Height();
        if (used + height > pageHeight && used > 0) {
            NewPage();
        }
        // Only a block taller than a whole page is cut, each page showing the next stretch.
        for (double from = 0; from < height || from == 0; from += pageHeight) {
            if (from > 0) {
                NewPage();
            }
            const double shown = std::min(pageHeight, height - from);
            pages.back().push_back({block, used, from, shown});
            used += shown;
        }
    }

    // The rows from `first` of one table, as many on each page as fit; returns the block after
    // the table.
    size_t PlaceTable(const std::vector<ReportBlock>& blocks, size_t first) {
        const std::string& head = blocks[first].table;
        size_t end = first;
        while (end < blocks.size() && blocks[end].table == head &&
               (end == first || !blocks[end].newPage)) {
            ++end;
        }
        size_t start = first;
        while (start < end) {
            std::shared_ptr<LaidOutBlock> fitting;
            size_t next = start;
            std::string rows;
            while (next < end) {
                rows += blocks[next].html;
                auto candidate = Layout(head + rows + "</table>\n");
                if (used + candidate->Height() > pageHeight && fitting) {
                    break;
                }
                if (used + candidate->Height() > pageHeight && used > 0) {
                    NewPage(); // not even one row fits below what the page holds
                    rows.clear();
                    continue;
                }
                fitting = std::move(candidate);
                ++next;
            }
            Place(fitting);
            start = next;
            if (start < end) {
                NewPage();
            }
        }
        return end;
    }

    const std::map<std::string, QImage>& images;
    QPagedPaintDevice& device;
    double width;
    double pageHeight;
    std::vector<std::vector<Placed>> pages;
    double used = 0;
};

void DrawFrame(QPainter& painter, const ReportPdfFrame& frame, int page, int pageCount,
               const QRectF& paper) {
    QFont font;
    font.setPointSizeF(kFrameTextPoints);
    font.setStyleStrategy(QFont::PreferNoShaping);
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const double left = Dots(kSideMarginMm), right = paper.width() - Dots(kSideMarginMm);
    const QRectF header(left, Dots(8), right - left, Dots(kTopMarginMm - 10));
    // A case number of 200 characters still leaves the line on the page.
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(header, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                     metrics.elidedText(frame.header, Qt::ElideRight, header.width()));
    painter.drawLine(QPointF(left, Dots(kTopMarginMm - 1.5)),
                     QPointF(right, Dots(kTopMarginMm - 1.5)));
    const double footerTop = paper.height() - Dots(kBottomMarginMm) + Dots(4);
    painter.drawLine(QPointF(left, footerTop - Dots(1.5)), QPointF(right, footerTop - Dots(1.5)));
    const QRectF footer(left, footerTop, right - left, Dots(6));
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     metrics.elidedText(frame.footerLeft, Qt::ElideRight, footer.width() / 3));
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     QStringLiteral("Page %1 of %2").arg(page).arg(pageCount));
    painter.drawText(footer, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, frame.footerRight);
    painter.restore();
}

} // namespace

QByteArray RenderReportPdf(const std::vector<ReportBlock>& blocks,
                           const std::map<std::string, QImage>& images,
                           const ReportPdfFrame& frame) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setTitle(DocumentText(frame.title));
        writer.setCreator(DocumentText(frame.creator));
        writer.setResolution(kPdfResolution);
        // The whole sheet is drawn on; the margins are kept here, so that the header and footer
        // can stand in them.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        const QRectF paper(0, 0, writer.width(), writer.height());
        const double left = Dots(kSideMarginMm);
        const double top = Dots(kTopMarginMm);
        const double width = paper.width() - 2 * left;
        const double height = paper.height() - top - Dots(kBottomMarginMm);
        Paginator paginator(images, writer, width, height);
        paginator.Run(blocks);
        const auto& pages = paginator.Pages();
        QPainter painter(&writer);
        for (size_t page = 0; page < pages.size(); ++page) {
            if (page > 0) {
                writer.newPage();
            }
            DrawFrame(painter, frame, static_cast<int>(page + 1), static_cast<int>(pages.size()),
                      paper);
            for (const Placed& placed : pages[page]) {
                placed.block->Draw(painter, left, top + placed.top, placed.from, placed.height);
            }
        }
        painter.end();
    } // the writer finishes the file when it goes
    // A report that cannot say who wrote it and which case it is does not go out without them.
    if (!AddPdfInformation(bytes, frame.author, frame.subject)) {
        return {};
    }
    return bytes;
}
