#include "TaggedFiles.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>

namespace {

QByteArray bytes4(quint32 a, quint32 b, quint32 c, quint32 d) {
    const char raw[4] = {char(a), char(b), char(c), char(d)};
    return QByteArray(raw, 4);
}

QByteArray be32(quint32 v) {
    return bytes4(v >> 24, v >> 16, v >> 8, v);
}

// An ID3v2.3 text frame in UTF-16 with a byte order mark.
QByteArray textFrame(const char* id, const QString& text) {
    QByteArray body("\x01\xFF\xFE", 3);
    body.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return QByteArray(id) + be32(quint32(body.size())) + QByteArray(2, '\0') + body;
}

QByteArray id3v2(const QString& title, const QString& artist) {
    const QByteArray frames = textFrame("TIT2", title) + textFrame("TPE1", artist);
    const quint32 n = quint32(frames.size());
    // Tag sizes are "syncsafe": seven bits per byte.
    const QByteArray size = bytes4((n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F);
    return QByteArray("ID3\x03\x00\x00", 6) + size + frames;
}

QByteArray id3v1(const QByteArray& title, const QByteArray& artist) {
    QByteArray tag("TAG");
    tag += title.leftJustified(30, '\0', true) + artist.leftJustified(30, '\0', true);
    tag += QByteArray(30, '\0') + QByteArray("2001") + QByteArray(30, '\0');
    tag += char(13);
    return tag;
}

// Three MPEG-1 Layer III frames of silence (128 kbit/s, 44.1 kHz, no padding).
QByteArray silentFrames() {
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    return frame + frame + frame;
}

} // namespace

QStringList makeFiles(const QString& folder, int n) {
    const QByteArray audio = silentFrames();
    const QDateTime made = QDateTime::currentDateTime().addSecs(-3600);
    QStringList paths;
    paths.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QString path = QStringLiteral("%1/%2 song.mp3").arg(folder).arg(i, 5, 10, QChar('0'));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(id3v2(QStringLiteral("曲 %1").arg(i), QStringLiteral("歌手 %1").arg(i % 97)));
        f.write(audio);
        f.write(id3v1("Song " + QByteArray::number(i), "Singer " + QByteArray::number(i % 97)));
        // Made an hour ago, like a collection: the program keeps the rows of files that
        // are not changing at the moment.
        if (!f.flush() || !f.setFileTime(made, QFileDevice::FileModificationTime))
            return {};
        paths << path;
    }
    return paths;
}
