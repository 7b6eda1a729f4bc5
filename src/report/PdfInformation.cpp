#include "report/PdfInformation.h"

#include <QList>

namespace {

// A PDF text string: UTF-16 big-endian with its byte-order mark, in hexadecimal, so that no
// character of the value needs escaping.
QByteArray TextString(const QString& value) {
    QByteArray utf16("\xfe\xff", 2);
    for (const QChar c : value) {
        utf16.append(static_cast<char>(c.unicode() >> 8));
        utf16.append(static_cast<char>(c.unicode() & 0xff));
    }
    return "<" + utf16.toHex().toUpper() + ">";
}

// The number after `key` in the trailer at the end of the file, or -1.
qsizetype NumberAfter(const QByteArray& pdf, const QByteArray& key, qsizetype from) {
    const qsizetype at = pdf.indexOf(key, from);
    if (at < 0) {
        return -1;
    }
    qsizetype i = at + key.size();
    while (i < pdf.size() && (pdf[i] == ' ' || pdf[i] == '\n' || pdf[i] == '\r')) {
        ++i;
    }
    qsizetype value = 0;
    const qsizetype start = i;
    while (i < pdf.size() && pdf[i] >= '0' && pdf[i] <= '9') {
        value = value * 10 + (pdf[i] - '0');
        ++i;
    }
    return i > start ? value : -1;
}

// Moves every offset of the cross-reference table at `xref` that lies beyond `position` by
// `shift`. False when the table is not the fixed-width table QPdfWriter writes.
bool ShiftCrossReferences(QByteArray& pdf, qsizetype xref, qsizetype position, qsizetype shift) {
    qsizetype line = pdf.indexOf('\n', xref + 1) + 1; // after the line "xref"
    const qsizetype countLine = pdf.indexOf('\n', line);
    if (line <= 0 || countLine < 0) {
        return false;
    }
    const QList<QByteArray> header = pdf.mid(line, countLine - line).trimmed().split(' ');
    if (header.size() != 2) {
        return false;
    }
    bool ok = false;
    const qsizetype count = header[1].toLongLong(&ok);
    constexpr qsizetype kEntryLength = 20; // "nnnnnnnnnn ggggg n" and a two-byte line end
    qsizetype entry = countLine + 1;
    if (!ok || entry + count * kEntryLength > pdf.size()) {
        return false;
    }
    for (qsizetype i = 0; i < count; ++i, entry += kEntryLength) {
        if (pdf[entry + 17] != 'n') {
            continue;
        }
        const qsizetype offset = pdf.mid(entry, 10).toLongLong(&ok);
        if (!ok) {
            return false;
        }
        if (offset > position) {
            pdf.replace(entry, 10, QByteArray::number(offset + shift).rightJustified(10, '0'));
        }
    }
    return true;
}

// Replaces `length` bytes at `at` with `bytes` and moves the cross-reference table's offsets and
// the start of the table to match. False, the bytes left as they were, when the file's end is not
// laid out as QPdfWriter writes it.
bool ReplaceBytes(QByteArray& pdf, qsizetype at, qsizetype length, const QByteArray& bytes) {
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    const qsizetype xref = pdf.lastIndexOf("\nxref");
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    const qsizetype oldStart = NumberAfter(pdf, "startxref", startxref);
    if (trailer < 0 || xref < 0 || xref > trailer || startxref < trailer || oldStart < 0 ||
        at + length > xref) {
        return false;
    }
    const qsizetype shift = bytes.size() - length;
    QByteArray result = pdf;
    result.replace(at, length, bytes);
    if (!ShiftCrossReferences(result, xref + shift, at, shift)) {
        return false;
    }
    const QByteArray oldNumber = QByteArray::number(oldStart);
    const qsizetype numberAt = result.indexOf(oldNumber, startxref + shift);
    if (numberAt < 0) {
        return false;
    }
    result.replace(numberAt, oldNumber.size(), QByteArray::number(oldStart + shift));
    pdf = std::move(result);
    return true;
}

QByteArray XmlEscaped(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

// The XMP packet must say what the document information says: the author as dc:creator, the
// subject as dc:description. The packet's stream is not compressed, its length written after
// /Length.
bool AddToXmp(QByteArray& pdf, const QString& author, const QString& subject) {
    QByteArray added;
    if (!author.isEmpty()) {
        added += "\n      <dc:creator>\n        <rdf:Seq>\n          <rdf:li>" +
                 XmlEscaped(author) + "</rdf:li>\n        </rdf:Seq>\n      </dc:creator>";
    }
    if (!subject.isEmpty()) {
        added += "\n      <dc:description>\n        <rdf:Alt>\n          <rdf:li "
                 "xml:lang=\"x-default\">" +
                 XmlEscaped(subject) + "</rdf:li>\n        </rdf:Alt>\n      </dc:description>";
    }
    const qsizetype packet = pdf.indexOf("<x:xmpmeta");
    const qsizetype title = packet < 0 ? -1 : pdf.indexOf("</dc:title>", packet);
    const qsizetype dictionary = packet < 0 ? -1 : pdf.lastIndexOf("/Type /Metadata", packet);
    const qsizetype lengthKey = dictionary < 0 ? -1 : pdf.indexOf("/Length ", dictionary);
    if (added.isEmpty()) {
        return true;
    }
    if (title < 0 || lengthKey < 0 || lengthKey > packet) {
        return false;
    }
    const qsizetype length = NumberAfter(pdf, "/Length", lengthKey);
    const QByteArray oldNumber = QByteArray::number(length);
    const qsizetype numberAt = pdf.indexOf(oldNumber, lengthKey);
    QByteArray result = pdf;
    // The later change first, so that the earlier position still holds.
    if (length < 0 ||
        !ReplaceBytes(result, title + qsizetype(sizeof("</dc:title>")) - 1, 0, added) ||
        !ReplaceBytes(result, numberAt, oldNumber.size(),
                      QByteArray::number(length + added.size()))) {
        return false;
    }
    pdf = std::move(result);
    return true;
}

} // namespace

bool AddPdfInformation(QByteArray& pdf, const QString& author, const QString& subject) {
    QByteArray added;
    if (!author.isEmpty()) {
        added += "\n/Author " + TextString(author);
    }
    if (!subject.isEmpty()) {
        added += "\n/Subject " + TextString(subject);
    }
    if (added.isEmpty()) {
        return true;
    }
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    const qsizetype info = trailer < 0 ? -1 : NumberAfter(pdf, "/Info", trailer);
    const qsizetype object =
        info < 0 ? -1 : pdf.indexOf("\n" + QByteArray::number(info) + " 0 obj");
    const qsizetype end = object < 0 ? -1 : pdf.indexOf("endobj", object);
    const qsizetype producer = object < 0 ? -1 : pdf.indexOf("\n/Producer", object);
    if (producer < 0 || producer > end) {
        return false;
    }
    QByteArray result = pdf;
    if (!AddToXmp(result, author, subject) || !ReplaceBytes(result, producer, 0, added)) {
        return false;
    }
    pdf = std::move(result);
    return true;
}
