#pragma once

#include "report/ReportBlock.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <map>
#include <string>
#include <vector>

// What the PDF says about itself (its document information) and what every page carries.
struct ReportPdfFrame {
    QString title;
    QString author;  // the examiner; empty: none
    QString subject; // the case number; empty: none
    QString creator; // program and version
    QString header;  // the running header, at the top of every page
    QString footerLeft;
    QString footerRight; // "Page X of Y" stands between the two
};

// Lays the blocks out on A4 pages as an archival PDF (PDF/A-1b) and returns its bytes. A block
// goes whole onto the page that still has room for it, or else onto the next; the rows of a
// table run onto the next page between rows, the table's heading repeated; only a block taller
// than a page is cut, at the page's foot. Every page carries the header and the footer with its
// number and the page count. `images` gives each figure's picture by the name its img element
// uses. Needs a QGuiApplication (fonts).
QByteArray RenderReportPdf(const std::vector<ReportBlock>& blocks,
                           const std::map<std::string, QImage>& images,
                           const ReportPdfFrame& frame);
