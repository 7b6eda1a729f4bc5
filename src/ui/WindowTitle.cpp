#include "ui/WindowTitle.h"

#include <QFileInfo>

namespace {

// A text of the user's in a title Qt reads "[*]" in: written "[*][*]", it is shown as typed.
QString Literal(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

} // namespace

QString CaseWindowTitle(const QString& programTitle, const QString& dataFile, const CaseInfo& info,
                        const QString& bodyNote) {
    QString title = programTitle;
    if (!dataFile.isEmpty()) {
        title += " - " + QFileInfo(dataFile).fileName().replace("[*]", "[*][*]");
    }
    QString identified;
    if (!info.Number().empty()) {
        identified = "Case " + Literal(info.Number());
    }
    if (!info.Decedent().empty()) {
        identified +=
            (identified.isEmpty() ? "Decedent " : ", decedent ") + Literal(info.Decedent());
    }
    if (!identified.isEmpty()) {
        title += " - " + identified;
    }
    if (!bodyNote.isEmpty()) {
        title += " - " + QString(bodyNote).replace("[*]", "[*][*]");
    }
    return title + QStringLiteral("[*]");
}
