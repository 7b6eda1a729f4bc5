#pragma once

#include <QByteArray>
#include <QString>

// Adds the author and the subject to a PDF that QPdfWriter wrote, whose document information
// names only its title, creator and producer: to the information dictionary and to the XMP
// packet an archival PDF must keep in step with it; the cross-reference table's offsets move to
// match. An empty value is left out. Returns false, leaving the bytes as they were, when the PDF
// is not laid out as QPdfWriter lays it out.
bool AddPdfInformation(QByteArray& pdf, const QString& author, const QString& subject);
