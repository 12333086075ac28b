#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pelto {

// The program's own text files and single-byte tag texts come from two worlds:
// files written on Linux (UTF-8) and files written by older Windows tools (CP932,
// Shift-JIS with the Windows extensions). Bytes that are valid UTF-8 are read as
// UTF-8 (a leading byte order mark is dropped); anything else is read as CP932,
// with undecodable bytes shown as U+FFFD.
QString decodeLegacyText(QByteArrayView bytes);

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(QByteArrayView bytes);
// The length of the longest start of the bytes that is well-formed UTF-8.
qsizetype validUtf8Prefix(QByteArrayView bytes);

// Decodes bytes as CP932 only.
QString decodeCp932(QByteArrayView bytes);

// Lines as the program writes them: each line UTF-8 and ended by CR LF.
QByteArray encodeLinesCrLf(const QStringList& lines);

} // namespace pelto
