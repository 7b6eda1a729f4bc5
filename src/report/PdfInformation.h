#pragma once

#include <QByteArray>
#include <QString>

// The text as a PDF's document information and its XMP packet can carry it: every character XML
// forbids or a reader could take for structure (C0 and C1 controls, noncharacters such as U+FFFE
// and U+FFFF, a surrogate without its pair) becomes U+FFFD. The title, creator, author and subject
// go through it, so that the information and the packet say the same.
QString DocumentText(const QString& text);

// Adds the author and the subject (as DocumentText gives them) to a PDF that QPdfWriter wrote,
// whose document information names only its title, creator and producer: to the information
// dictionary and to the XMP packet an archival PDF must keep in step with it; the
// cross-reference table's offsets move to match. The dictionary is read token by token from the
// offset the cross-reference table gives it, and every string in it is written again as a
// hexadecimal string of the same bytes, so that no byte of a text (a UTF-16 character whose bytes
// spell a line feed and "/Producer") can pass for a key or end a string. An empty value is left
// out. Returns false, leaving the bytes as they were, when there is something to add and the PDF
// is not laid out as QPdfWriter lays it out.
bool AddPdfInformation(QByteArray& pdf, const QString& author, const QString& subject);
