#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace pelto {

// Reads the program's comma-and-line text files (the skin definition and the
// configuration file) as a sequence of fields.
//
// A field ends at a comma or at a line end (CR LF, LF or a lone CR), which is
// consumed with it. Blanks before a field are skipped, and blanks after an unquoted
// field are not part of it. A field that begins with a double quote runs to the next
// double quote and may hold commas and line ends; whatever follows the closing quote
// up to the next comma or line end is dropped. An empty line is an empty field.
//
// Some keys take a line value instead of a field: the rest of the current line after
// the key's comma, taken literally; when the key ended its line, the whole next line.
//
// The reader works on the raw bytes (every delimiter is ASCII, and none of them can be
// the second byte of a CP932 character) and decodes each field with the encoding
// chosen once for the whole file (see decodeLegacyText).
class FieldReader {
public:
    explicit FieldReader(QByteArray bytes);

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    // The next field; empty at the end of the data.
    QString readField();

    // The line value that follows a key just read with readField(); nullopt when
    // the data ends before there is any (a key that is the last field of the file).
    std::optional<QString> readLineValue();

private:
    QString decode(QByteArrayView bytes) const;
    // Consumes one line end at m_pos, if there is one. Returns whether it did.
    bool consumeLineEnd();
    bool isLineEnd(qsizetype pos) const;

    QByteArray m_bytes;
    qsizetype m_pos = 0;
    bool m_utf8 = true;
    // Whether the last field read ended at a line end (or the end of the data)
    // rather than at a comma.
    bool m_lastEndedLine = true;
};

} // namespace pelto
