#include "PlaylistFile.h"

#include "PlaylistModel.h"
#include "common/LegacyText.h"
#include "common/SaveFile.h"

#include <QFile>
#include <QFileInfo>

namespace pelto {

namespace {

// A playlist larger than this is read only up to here: far beyond any real list
// (a million entries of 200 bytes), small enough not to exhaust memory.
constexpr qint64 kMaxPlaylistBytes = qint64(256) * 1024 * 1024;

constexpr QChar kByteOrderMark(0xFEFF);

// The drive of a path, which a line beginning with the separator is put after. Only
// the Windows syntax has drives: the first two characters of the path ("C:").
QString driveOf(const QString& path, PathSyntax syntax) {
    return syntax.isWindows() ? path.left(2) : QString();
}

// Calls f for each line of the text; CR LF, LF and a lone CR all end a line.
template <typename F> void forEachLine(QStringView text, F&& f) {
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\n' && c != u'\r')
            continue;
        f(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        f(text.mid(start));
}

} // namespace

QStringList parsePlayListBytes(QByteArrayView bytes, const QString& playlistPath,
                               PathSyntax syntax) {
    const QChar sep = syntax.separator();
    const QString drive = driveOf(playlistPath, syntax);
    QString folder = syntax.folder(playlistPath);
    // A playlist whose only separator is its second character ("a\x.m3u") has a
    // folder equal to its drive; such a folder counts as none.
    if (folder == drive)
        folder.clear();

    const QString text = decodeLegacyText(bytes);
    QStringList entries;
    forEachLine(text, [&](QStringView line) {
        const qsizetype nul = line.indexOf(QChar(0));
        if (nul >= 0)
            line = line.left(nul);
        if (line.isEmpty())
            return;
        if (line.front() == sep)
            entries.push_back(QString(drive).append(line));
        else if (line.front() == u'#')
            return;
        else if (line.contains(sep))
            entries.push_back(line.toString());
        else
            entries.push_back(QString(folder).append(line));
    });
    return entries;
}

QStringList ReadPlayListFile(const QString& path, PathSyntax syntax) {
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parsePlayListBytes(file.read(kMaxPlaylistBytes), path, syntax);
}

QStringList playListFileLines(const QStringList& rowPaths, const QString& targetPath,
                              PathSyntax syntax) {
    const QString targetFolder = syntax.folder(targetPath);
    const QString targetRoot = targetPath.left(3); // "C:\" with the Windows syntax
    const QString driveMark = QStringLiteral(":") + syntax.separator();
    QStringList lines;
    lines.reserve(rowPaths.size());
    for (const QString& path : rowPaths) {
        if (syntax.folder(path) == targetFolder) {
            const QString name = syntax.fileName(path);
            if (!name.isEmpty() && !name.startsWith(u'#')) {
                lines.push_back(name);
                continue;
            }
        }
        if (syntax.isWindows() && path.left(3) == targetRoot) {
            const qsizetype mark = path.indexOf(driveMark);
            lines.push_back(mark < 0 ? path : path.mid(mark + 1));
            continue;
        }
        lines.push_back(path);
    }
    return lines;
}

QByteArray playListFileBytes(const QStringList& rowPaths, const QString& targetPath,
                             PathSyntax syntax) {
    const QStringList lines = playListFileLines(rowPaths, targetPath, syntax);
    QByteArray bytes = encodeLinesCrLf(lines);
    // Readers drop a byte order mark at the start of a file. A first line that
    // itself begins with one goes behind a blank line, which readers skip.
    if (!lines.isEmpty() && lines.front().startsWith(kByteOrderMark))
        bytes.prepend("\r\n");
    return bytes;
}

bool SavePlayListFile(const PlaylistModel& model, const QString& targetPath, PathSyntax syntax) {
    return writeFileAtomically(targetPath, playListFileBytes(model.paths(), targetPath, syntax));
}

} // namespace pelto
