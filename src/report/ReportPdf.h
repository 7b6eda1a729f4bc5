#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <map>
#include <string>

// Lays out the report's HTML on A4 pages and returns the PDF's bytes. `images` gives each figure's
// picture by the name its img element uses. Needs a QGuiApplication (fonts).
QByteArray RenderReportPdf(const std::string& html, const std::map<std::string, QImage>& images,
                           const QString& title);
