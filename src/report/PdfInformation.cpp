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

bool IsRefusedInDocument(char32_t c) {
    const bool control = c < 0x20 || (c >= 0x7f && c <= 0x9f);
    const bool noncharacter = (c >= 0xfdd0 && c <= 0xfdef) || (c & 0xfffe) == 0xfffe;
    return control || noncharacter || (c >= 0xd800 && c <= 0xdfff);
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

// One entry of the document information dictionary: its key and its value as written. A literal
// string's value is kept as the bytes it stands for (QPdfWriter escapes only "(", ")" and "\\"
// before them), so that it can be written again as a hexadecimal string.
struct InfoEntry {
    QByteArray key;
    QByteArray raw;
    bool literal = false;
    QByteArray bytes;
};

bool IsPdfWhitespace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

bool IsPdfDelimiter(char c) {
    return IsPdfWhitespace(c) || c == '/' || c == '(' || c == ')' || c == '<' || c == '>' ||
           c == '[' || c == ']';
}

qsizetype SkipWhitespace(const QByteArray& pdf, qsizetype i) {
    while (i < pdf.size() && IsPdfWhitespace(pdf[i])) {
        ++i;
    }
    return i;
}

// A literal string from its "(": its bytes (a backslash keeps the byte after it, the one escape
// QPdfWriter writes; nested parentheses are part of the string), and the position after its ")";
// -1 when it does not end.
qsizetype ReadLiteral(const QByteArray& pdf, qsizetype i, QByteArray& bytes) {
    int depth = 1;
    for (++i; i < pdf.size(); ++i) {
        const char c = pdf[i];
        if (c == '\\') {
            if (++i >= pdf.size()) {
                return -1;
            }
            bytes.append(pdf[i]);
            continue;
        }
        if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            return i + 1;
        }
        bytes.append(c);
    }
    return -1;
}

// The value that starts at `i` (a string, a name, a number): its end, or -1.
qsizetype ReadValue(const QByteArray& pdf, qsizetype i, InfoEntry& entry) {
    const qsizetype start = i;
    if (i < pdf.size() && pdf[i] == '(') {
        entry.literal = true;
        i = ReadLiteral(pdf, i, entry.bytes);
    } else if (i < pdf.size() && pdf[i] == '<') {
        i = pdf.indexOf('>', i);
        i = i < 0 ? -1 : i + 1;
    } else {
        ++i; // a name's "/" or the first character of a number
        while (i < pdf.size() && !IsPdfDelimiter(pdf[i])) {
            ++i;
        }
    }
    if (i > start) {
        entry.raw = pdf.mid(start, i - start);
    }
    return i;
}

// The entries of the dictionary that starts at `at` ("<<"), and its end after ">>"; -1 when it
// is not a dictionary of keys and simple values.
qsizetype ReadDictionary(const QByteArray& pdf, qsizetype at, QList<InfoEntry>& entries) {
    if (!pdf.mid(at, 2).startsWith("<<")) {
        return -1;
    }
    for (qsizetype i = SkipWhitespace(pdf, at + 2); i < pdf.size(); i = SkipWhitespace(pdf, i)) {
        if (pdf.mid(i, 2) == ">>") {
            return i + 2;
        }
        if (pdf[i] != '/') {
            return -1;
        }
        InfoEntry entry;
        const qsizetype keyStart = i++;
        while (i < pdf.size() && !IsPdfDelimiter(pdf[i])) {
            ++i;
        }
        entry.key = pdf.mid(keyStart, i - keyStart);
        i = ReadValue(pdf, SkipWhitespace(pdf, i), entry);
        if (i < 0 || entry.raw.isEmpty()) {
            return -1;
        }
        entries.append(entry);
    }
    return -1;
}

// The offset the cross-reference table at `xref` gives object `number`; -1 when it gives none.
qsizetype ObjectOffset(const QByteArray& pdf, qsizetype xref, qsizetype number) {
    const qsizetype line = pdf.indexOf('\n', xref + 1) + 1;
    const qsizetype countLine = line <= 0 ? -1 : pdf.indexOf('\n', line);
    const QList<QByteArray> header =
        countLine < 0 ? QList<QByteArray>() : pdf.mid(line, countLine - line).trimmed().split(' ');
    bool firstOk = false;
    bool countOk = false;
    if (header.size() != 2 || header[0].toLongLong(&firstOk) != 0 || !firstOk ||
        number >= header[1].toLongLong(&countOk) || !countOk || number <= 0) {
        return -1;
    }
    constexpr qsizetype kEntryLength = 20;
    const qsizetype entry = countLine + 1 + number * kEntryLength;
    if (entry + kEntryLength > pdf.size() || pdf[entry + 17] != 'n') {
        return -1;
    }
    bool ok = false;
    const qsizetype offset = pdf.mid(entry, 10).toLongLong(&ok);
    return ok && offset < xref ? offset : -1;
}

// The new dictionary: every literal string written again as a hexadecimal string of the same
// bytes (a raw line end inside a literal string reads as a line feed, whatever byte of a UTF-16
// character it was), then the added entries.
QByteArray InfoDictionary(const QList<InfoEntry>& entries, const QByteArray& added) {
    QByteArray dictionary = "<<";
    for (const InfoEntry& entry : entries) {
        dictionary += "\n" + entry.key + " " +
                      (entry.literal ? "<" + entry.bytes.toHex().toUpper() + ">" : entry.raw);
    }
    return dictionary + added + "\n>>";
}

} // namespace

QString DocumentText(const QString& text) {
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t value = pair ? QChar::surrogateToUcs4(c, text[i + 1]) : c.unicode();
        if (IsRefusedInDocument(value)) {
            safe.append(QChar::ReplacementCharacter);
            continue;
        }
        safe.append(c);
        if (pair) {
            safe.append(text[++i]);
        }
    }
    return safe;
}

bool AddPdfInformation(QByteArray& pdf, const QString& givenAuthor, const QString& givenSubject) {
    const QString author = DocumentText(givenAuthor);
    const QString subject = DocumentText(givenSubject);
    QByteArray added;
    if (!author.isEmpty()) {
        added += "\n/Author " + TextString(author);
    }
    if (!subject.isEmpty()) {
        added += "\n/Subject " + TextString(subject);
    }
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    const qsizetype xref = pdf.lastIndexOf("\nxref");
    const qsizetype info = trailer < 0 ? -1 : NumberAfter(pdf, "/Info", trailer);
    const qsizetype object = info < 0 || xref < 0 ? -1 : ObjectOffset(pdf, xref, info);
    const QByteArray objectLine = QByteArray::number(info) + " 0 obj";
    QList<InfoEntry> entries;
    const qsizetype start = object < 0 || !pdf.mid(object).startsWith(objectLine)
                                ? -1
                                : SkipWhitespace(pdf, object + objectLine.size());
    const qsizetype end = start < 0 ? -1 : ReadDictionary(pdf, start, entries);
    if (end < 0) {
        return added.isEmpty(); // nothing lost when nothing was to be added
    }
    QByteArray result = pdf;
    if (!AddToXmp(result, author, subject) ||
        !ReplaceBytes(result, start, end - start, InfoDictionary(entries, added))) {
        return added.isEmpty();
    }
    pdf = std::move(result);
    return true;
}
