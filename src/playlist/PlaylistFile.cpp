#include "PlaylistFile.h"

#include "PlaylistModel.h"
#include "common/FileNames.h"
#include "common/FileSpan.h"
#include "common/LegacyText.h"
#include "common/SaveFile.h"

#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <utility>

namespace pelto {

namespace {

// A playlist larger than this is read only up to here: far beyond any real list
// (a million entries of 200 bytes), small enough not to exhaust memory.
constexpr qint64 kMaxPlaylistBytes = qint64(256) * 1024 * 1024;
// The file is read this much at a time.
constexpr qint64 kBlockBytes = qint64(1) << 20;

constexpr QChar kByteOrderMark(0xFEFF);
constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF");

// The drive of a path, which a line beginning with the separator is put after. Only
// the Windows syntax has drives: the first two characters of the path ("C:").
QString driveOf(const QString& path, PathSyntax syntax) {
    return syntax.isWindows() ? path.left(2) : QString();
}

// Calls f for each line of the bytes; CR LF, LF and a lone CR all end a line. Neither
// UTF-8 nor CP932 has those bytes inside a character.
template <typename F> void forEachLine(QByteArrayView bytes, F&& f) {
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\n' && c != '\r')
            continue;
        f(bytes.sliced(start, i - start));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        f(bytes.sliced(start));
}

// How the lines of a playlist at a path become its entries.
class LineRules {
public:
    LineRules(const QString& playlistPath, PathSyntax syntax)
        : m_kind(playlistKindOf(playlistPath)), m_sep(syntax.separator()),
          m_drive(driveOf(playlistPath, syntax)), m_folder(syntax.folder(playlistPath)) {
        // A playlist whose only separator is its second character ("a\x.m3u") has a
        // folder equal to its drive; such a folder counts as none.
        if (m_folder == m_drive)
            m_folder.clear();
    }

    PlaylistKind kind() const { return m_kind; }
    // Whether the file is UTF-8 as a whole (see legacyEntry for the other case); an
    // ".m3u8" file is read as UTF-8 whatever it holds.
    void setUtf8(bool utf8) { m_utf8 = utf8 || m_kind == PlaylistKind::M3u8; }

    // Appends the entries of a block of whole lines; the file's first block may begin
    // with a byte order mark.
    void addEntries(QByteArrayView block, bool firstBlock, QStringList& out) const {
        if (firstBlock && m_utf8 && block.startsWith(kUtf8ByteOrderMark))
            block = block.sliced(kUtf8ByteOrderMark.size());
        forEachLine(block, [&](QByteArrayView line) { addEntry(line, out); });
    }

private:
    void addEntry(QByteArrayView line, QStringList& out) const {
        const qsizetype nul = line.indexOf('\0');
        if (nul >= 0)
            line = line.first(nul);
        if (m_kind == PlaylistKind::Pls) {
            addPlsEntry(line, out);
            return;
        }
        if (line.isEmpty())
            return;
        // A byte order mark that begins a line (not the file) belongs to the name.
        const QString entry = m_utf8 ? resolve(decodeFileName(line)) : legacyEntry(line);
        if (!entry.isNull())
            out.push_back(entry);
    }

    // A line "FileN=value" of a PLS playlist (the key in any case, N its number): a
    // "file:" address gives its local file, an absolute path is taken, a relative one
    // is joined to the playlist's folder, and an address of another kind (a stream)
    // gives nothing. Every other line ("[playlist]", "TitleN=", "NumberOfEntries=",
    // ...) gives nothing either. The entry goes out after its number, as plsNumber
    // reads it back.
    void addPlsEntry(QByteArrayView line, QStringList& out) const {
        const qsizetype equals = line.indexOf('=');
        if (equals < 5 || line.first(4).compare("file", Qt::CaseInsensitive) != 0)
            return;
        const QByteArrayView number = line.sliced(4, equals - 4);
        if (!std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return;
        const QByteArrayView value = line.sliced(equals + 1);
        if (value.isEmpty())
            return;
        QString entry;
        const QString text = m_utf8 ? decodeFileName(value) : decodeLegacyName(value);
        const qsizetype scheme = text.indexOf(QStringLiteral("://"));
        if (scheme > 0 && !text.first(scheme).contains(m_sep)) {
            if (text.first(scheme).compare(QStringLiteral("file"), Qt::CaseInsensitive) != 0)
                return;
            QUrl url(text);
            // "file://localhost/..." names a file of this machine, as "file:///..." does.
            if (url.host().compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
                url.setHost({});
            entry = localFileOf(url);
        } else if (text.front() == m_sep) {
            entry = m_drive + text;
        } else {
            entry = m_folder + text;
        }
        if (!entry.isEmpty())
            out.push_back(QString::fromLatin1(number.data(), number.size()) + u'\n' + entry);
    }

    // The text of a value in a file that is not UTF-8 as a whole: CP932 when every
    // byte maps, else the bytes of a name.
    static QString decodeLegacyName(QByteArrayView bytes) {
        const QString cp932 = decodeCp932(bytes);
        return cp932.contains(QChar(0xFFFD)) ? decodeFileName(bytes) : cp932;
    }

    // The entry a line's text gives: a line beginning with the separator goes after
    // the drive, a comment gives none (a null string), a line holding the separator
    // elsewhere is taken as it stands, any other is joined to the playlist's folder.
    QString resolve(const QString& text) const {
        if (text.front() == m_sep)
            return m_drive + text;
        if (text.front() == u'#')
            return {};
        if (text.contains(m_sep))
            return text;
        return m_folder + text;
    }

    // The entry of a line in a file that is not UTF-8 as a whole. Older tools wrote
    // CP932; tools on Linux write the bytes of the names, UTF-8 on one line and a name
    // copied from an old disk (Latin-1, Shift-JIS) on the next. A line in ASCII reads
    // the same every way. For any other the reading that names a file that exists
    // wins: for a line that is UTF-8, UTF-8 and then CP932; for any other, CP932 (when
    // every byte maps) and then the bytes as they are. When none exists the first is
    // taken, so that a UTF-8 line keeps its bytes and a CP932 line reads as text.
    // This costs a look at the disk for each such line, in such files only.
    QString legacyEntry(QByteArrayView line) const {
        if (std::all_of(line.begin(), line.end(), [](char c) { return quint8(c) < 0x80; }))
            return resolve(QString::fromLatin1(line));
        const QString bytes = resolve(decodeFileName(line));
        const QString cp932 = decodeCp932(line);
        QStringList readings{bytes};
        if (!cp932.contains(QChar(0xFFFD)))
            readings.insert(isValidUtf8(line) ? 1 : 0, resolve(cp932));
        for (const QString& reading : readings)
            if (exists(reading))
                return reading;
        return readings.front();
    }

    static bool exists(const QString& path) {
        struct stat st {};
        return !path.isEmpty() && ::stat(encodeFileName(path).constData(), &st) == 0;
    }

    PlaylistKind m_kind;
    QChar m_sep;
    QString m_drive;
    QString m_folder;
    bool m_utf8 = true;
};

// A PLS playlist's entries are handed out in the order of their numbers (entries of
// one number in the order they stand); each came from addPlsEntry as "N\nentry".
void orderPlsEntries(QStringList& entries) {
    const auto number = [](const QString& numbered) {
        const qsizetype newline = numbered.indexOf(u'\n');
        QStringView digits = QStringView(numbered).first(newline);
        while (digits.size() > 1 && digits.front() == u'0')
            digits = digits.sliced(1);
        return digits;
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const QString& a, const QString& b) {
        const QStringView x = number(a), y = number(b);
        return x.size() != y.size() ? x.size() < y.size() : x < y;
    });
    for (QString& entry : entries)
        entry.remove(0, entry.indexOf(u'\n') + 1);
}

} // namespace

PlaylistKind playlistKindOf(const QString& path) {
    const QString ext = extensionOf(PathSyntax::native().fileName(path));
    if (ext == u".m3u8")
        return PlaylistKind::M3u8;
    if (ext == u".pls")
        return PlaylistKind::Pls;
    return PlaylistKind::M3u;
}

bool isPlaylistName(const QString& name) {
    const QString ext = extensionOf(name);
    return ext == u".m3u" || ext == u".m3u8" || ext == u".pls";
}

QStringList parsePlaylistBytes(QByteArrayView bytes, const QString& playlistPath,
                               PathSyntax syntax) {
    LineRules rules(playlistPath, syntax);
    rules.setUtf8(isValidUtf8(bytes));
    QStringList entries;
    rules.addEntries(bytes, true, entries);
    if (rules.kind() == PlaylistKind::Pls)
        orderPlsEntries(entries);
    return entries;
}

struct PlaylistFileReader::State {
    State(const QString& path, PathSyntax syntax) : rules(path, syntax) {}

    // Starts reading the file from its beginning.
    void rewind() {
        file.seek(0, SEEK_SET);
        left = kMaxPlaylistBytes;
        carry.clear();
        firstBlock = true;
    }

    // The next block of whole lines (the last one may lack its line end); false at
    // the end of the file.
    bool nextBlock(QByteArray& block) {
        for (;;) {
            QByteArray chunk(std::min(left, kBlockBytes), Qt::Uninitialized);
            const qint64 got = file.read(chunk.data(), chunk.size());
            chunk.resize(std::max<qint64>(got, 0));
            left -= chunk.size();
            if (chunk.isEmpty()) {
                block = std::exchange(carry, {});
                return !block.isEmpty();
            }
            // Only the new part is searched, so a line of many blocks costs no more.
            const qsizetype inChunk = std::max(chunk.lastIndexOf('\n'), chunk.lastIndexOf('\r'));
            carry += chunk;
            if (inChunk < 0)
                continue;
            const qsizetype end = carry.size() - chunk.size() + inChunk;
            block = carry.first(end + 1);
            carry.remove(0, end + 1);
            return true;
        }
    }

    LineRules rules;
    FileSpan file;
    ReadOutcome outcome;
    FileSpan::ReadErrorRecord readError;
    qint64 left = 0;
    QByteArray carry;
    bool firstBlock = true;
    qsizetype lines = 0;
    QStringList pending; // entries of the last block not yet handed out
    qsizetype next = 0;
};

PlaylistFileReader::PlaylistFileReader(const QString& path, PathSyntax syntax)
    : d(std::make_unique<State>(path, syntax)) {
    if (!d->file.open(path)) {
        d->outcome = d->file.openOutcome();
        return;
    }
    d->outcome.status = FileStatus::Read;
    d->readError = d->file.readErrorRecord();
    if (d->file.fileSize() > kMaxPlaylistBytes)
        d->outcome = {FileStatus::Refused,
                      QStringLiteral("larger than 256 MiB, read only up to there")};
    d->rewind();
    bool utf8 = true;
    QByteArray block;
    while (d->nextBlock(block)) {
        utf8 = utf8 && isValidUtf8(block);
        forEachLine(block, [&](QByteArrayView line) { d->lines += line.isEmpty() ? 0 : 1; });
    }
    d->rules.setUtf8(utf8);
    d->rewind();
    if (d->rules.kind() != PlaylistKind::Pls)
        return;
    // A PLS playlist is put in the order of its numbers, so it is read whole here.
    while (d->nextBlock(block))
        d->rules.addEntries(block, std::exchange(d->firstBlock, false), d->pending);
    orderPlsEntries(d->pending);
    d->lines = d->pending.size();
    d->file.close();
}

PlaylistFileReader::~PlaylistFileReader() = default;

ReadOutcome PlaylistFileReader::outcome() const {
    if (const int error = d->readError ? d->readError->load() : 0; error && !d->outcome.refused())
        return {FileStatus::Refused, systemReason(error), error};
    return d->outcome;
}

qsizetype PlaylistFileReader::lineCount() const {
    return d->lines;
}

bool PlaylistFileReader::read(QStringList& batch, qsizetype max) {
    qsizetype taken = 0;
    while (taken < max) {
        if (d->next == d->pending.size()) {
            if (d->rules.kind() == PlaylistKind::Pls)
                break;
            d->pending.clear();
            d->next = 0;
            QByteArray block;
            if (!d->file.isOpen() || !d->nextBlock(block))
                break;
            d->rules.addEntries(block, std::exchange(d->firstBlock, false), d->pending);
            continue;
        }
        const qsizetype n = std::min(max - taken, d->pending.size() - d->next);
        for (qsizetype i = 0; i < n; ++i)
            batch.push_back(std::move(d->pending[d->next + i]));
        d->next += n;
        taken += n;
    }
    return taken > 0;
}

QStringList ReadPlayListFile(const QString& path, PathSyntax syntax) {
    PlaylistFileReader reader(path, syntax);
    QStringList entries;
    entries.reserve(reader.lineCount());
    while (reader.read(entries, reader.lineCount() + 1)) {
    }
    return entries;
}

namespace {

// The line written for a row's path into a playlist at a target path (see
// playlistFileLines).
class LineForRow {
public:
    LineForRow(const QString& targetPath, PathSyntax syntax)
        : m_syntax(syntax), m_targetFolder(syntax.folder(targetPath)),
          m_targetRoot(targetPath.left(3)), // "C:\" with the Windows syntax
          m_driveMark(QStringLiteral(":") + syntax.separator()) {}

    QString operator()(const QString& path) const {
        if (m_syntax.folder(path) == m_targetFolder) {
            const QString name = m_syntax.fileName(path);
            if (!name.isEmpty() && !name.startsWith(u'#'))
                return name;
        }
        if (m_syntax.isWindows() && path.left(3) == m_targetRoot) {
            const qsizetype mark = path.indexOf(m_driveMark);
            return mark < 0 ? path : path.mid(mark + 1);
        }
        return path;
    }

private:
    PathSyntax m_syntax;
    QString m_targetFolder;
    QString m_targetRoot;
    QString m_driveMark;
};

// The bytes of a playlist file of n lines, line(i) giving each in turn, so that the
// lines never exist all at once beside the bytes. The bytes are reserved in one piece
// first (no line takes more than three bytes a character): growing them on the way
// would hold the old and the new copy at once, and the part never written is never
// given memory by the system.
template <typename Line> QByteArray fileBytes(qsizetype n, Line&& line) {
    qsizetype bound = 2;
    for (qsizetype i = 0; i < n; ++i)
        bound += 3 * line(i).size() + 2;
    QByteArray bytes;
    bytes.reserve(bound);
    for (qsizetype i = 0; i < n; ++i) {
        const QString text = line(i);
        // Readers drop a byte order mark at the start of a file. A first line that
        // itself begins with one goes behind a blank line, which readers skip.
        if (i == 0 && text.startsWith(kByteOrderMark))
            bytes += "\r\n";
        bytes += encodeFileName(text);
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace

QStringList playlistFileLines(const QStringList& rowPaths, const QString& targetPath,
                              PathSyntax syntax) {
    const LineForRow lineFor(targetPath, syntax);
    QStringList lines;
    lines.reserve(rowPaths.size());
    for (const QString& path : rowPaths)
        lines.push_back(lineFor(path));
    return lines;
}

QByteArray playlistFileBytes(const QStringList& rowPaths, const QString& targetPath,
                             PathSyntax syntax) {
    const LineForRow lineFor(targetPath, syntax);
    return fileBytes(rowPaths.size(), [&](qsizetype i) { return lineFor(rowPaths[i]); });
}

bool SavePlayListFile(const PlaylistModel& model, const QString& targetPath, PathSyntax syntax) {
    if (playlistKindOf(targetPath) == PlaylistKind::Pls) {
        std::fputs(encodeFileName(QStringLiteral("Pelto: %1 not saved: PLS playlists are read, "
                                                 "never written (save as .m3u or .m3u8)\n")
                                      .arg(targetPath))
                       .constData(),
                   stderr);
        return false;
    }
    const LineForRow lineFor(targetPath, syntax);
    return writeFileAtomically(targetPath, fileBytes(model.count(), [&](qsizetype i) {
                                   return lineFor(model.path(int(i) + 1));
                               }));
}

} // namespace pelto
