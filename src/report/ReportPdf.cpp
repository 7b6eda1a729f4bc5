#include "report/ReportPdf.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

namespace {
constexpr int kPdfResolution = 300; // dots per inch of the page's drawing
constexpr double kMarginMillimetres = 15;
} // namespace

QByteArray RenderReportPdf(const std::string& html, const std::map<std::string, QImage>& images,
                           const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(title);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMillimetres, kMarginMillimetres,
                                                   kMarginMillimetres, kMarginMillimetres),
                                         QPageLayout::Millimeter));
        QTextDocument document;
        // No shaping means no ligatures: text taken from the PDF reads "fi", never the single
        // ligature character a search would miss.
        QFont font = document.defaultFont();
        font.setStyleStrategy(QFont::PreferNoShaping);
        document.setDefaultFont(font);
        for (const auto& [name, image] : images) {
            document.addResource(QTextDocument::ImageResource, QUrl(QString::fromStdString(name)),
                                 image);
        }
        document.setHtml(QString::fromStdString(html));
        document.print(&writer);
    } // the writer finishes the file when it goes
    return bytes;
}
