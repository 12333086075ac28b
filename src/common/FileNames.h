#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class QUrl;

namespace pelto {

// File names are bytes. Qt reads them as UTF-8 and turns bytes that are not UTF-8
// (names copied from old disks in Latin-1 or Shift-JIS) into U+FFFD, after which the
// file cannot be found again (Qt 6 has no way to change that). Wherever a name crosses
// between bytes and text (the command line, the hand-off, playlists, drops, opening a
// file) the program goes through these instead, which keep every name: each byte
// that is not part of well-formed UTF-8 becomes one code unit U+DC80..U+DCFF (a lone
// low surrogate, which well-formed text never holds) and goes back to the same byte;
// everything else is plain UTF-8.

// The text of a name (or path, or any list of names) given as bytes. A byte order
// mark at its start is part of the name.
QString decodeFileName(QByteArrayView bytes);

// The bytes of a name made by decodeFileName, or of any text: UTF-8 with the kept
// bytes put back.
QByteArray encodeFileName(QStringView name);

// The working folder of this process, its bytes kept as above; empty when it cannot
// be had.
QString currentFolder();

// The local file an address names ("file:"), its bytes kept as above; empty when it
// names no local file.
QString localFileOf(const QUrl& url);

} // namespace pelto
