#include "taginfo/CurrentSong.h"

#include "common/Paths.h"
#include "common/TimeText.h"
#include "common/TrimSpaces.h"

namespace pelto {

namespace {

// Conditionals nested deeper than this are not expanded: from there on the text is
// shown as it stands, so a hostile format cannot exhaust the stack.
constexpr int kMaxDepth = 32;

// The value a field command shows, or an empty text when it shows nothing.
QString fieldValue(QChar letter, const CurrentSong& song) {
    const ID3TagInfo& id3 = song.id3;
    const QString* raw = nullptr;
    bool extended = false;
    switch (letter.unicode()) {
    case u'1':
        raw = &id3.Title;
        break;
    case u'2':
        raw = &id3.Artist;
        break;
    case u'3':
        raw = &id3.Album;
        break;
    case u'4':
        raw = &id3.Comment;
        break;
    case u'5':
        raw = &id3.Year;
        break;
    case u'6':
        raw = &id3.GenreName;
        break;
    case u'a':
        raw = &song.ext.Title, extended = true;
        break;
    case u'b':
        raw = &song.ext.Artist, extended = true;
        break;
    case u'c':
        raw = &song.ext.Album, extended = true;
        break;
    case u'd':
        raw = &song.ext.Comment, extended = true;
        break;
    case u'e':
        raw = &song.ext.Date, extended = true;
        break;
    case u'f':
        raw = &song.ext.Genre, extended = true;
        break;
    default:
        return {};
    }
    if (extended)
        return song.ExtTagValid == 1 ? trimSpaces(*raw) : QString();
    // The version 1 tag's texts come from fixed buffers: only what precedes a NUL counts.
    return trimSpaces(CutAtNul(*raw));
}

bool isFieldLetter(QChar c) {
    return (c >= u'1' && c <= u'6') || (c >= u'a' && c <= u'f');
}

class Formatter {
public:
    Formatter(const CurrentSong& song, const PathSyntax& paths) : m_song(song), m_paths(paths) {}

    QString expand(QStringView format, int depth) const {
        QString out;
        qsizetype pos = 0;
        const qsizetype n = format.size();
        while (pos < n) {
            const qsizetype percent = format.indexOf(u'%', pos);
            if (percent < 0) {
                out += format.mid(pos);
                break;
            }
            out += format.mid(pos, percent - pos);
            pos = percent;
            const QChar letter = pos + 1 < n ? format[pos + 1] : QChar();
            if (isFieldLetter(letter)) {
                out += fieldValue(letter, m_song);
                pos += 2;
            } else if (letter == u'g') {
                out += m_paths.title(m_song.DmyFileName);
                pos += 2;
            } else if (letter == u'h') {
                out += timeText(m_song.TotalSec);
                pos += 2;
            } else if (letter == u'+' || letter == u'-') {
                if (depth >= kMaxDepth) {
                    out += format.mid(pos);
                    break;
                }
                pos = conditional(format, pos, depth, out);
            } else {
                // Unknown command, "%%" or a final "%": the "%" stands for itself and the
                // next character is read as ordinary text.
                out += u'%';
                pos += 1;
            }
        }
        return out;
    }

private:
    // Expands the conditional that starts at `start` ("%+" or "%-", then a character
    // taken as the opening parenthesis) and returns where the text continues.
    qsizetype conditional(QStringView format, qsizetype start, int depth, QString& out) const {
        const qsizetype n = format.size();
        const qsizetype innerBegin = std::min(start + 3, n);
        // The closing parenthesis; one that never comes leaves the rest as inner text.
        qsizetype close = n;
        int level = 1;
        for (qsizetype i = innerBegin; i < n; ++i) {
            if (format[i] == u'(') {
                ++level;
            } else if (format[i] == u')' && --level == 0) {
                close = i;
                break;
            }
        }
        const QStringView inner = format.mid(innerBegin, close - innerBegin);
        // The first comma outside nested parentheses separates A from B; without one,
        // A is the whole inner text and B is empty.
        qsizetype comma = -1;
        level = 0;
        for (qsizetype i = 0; i < inner.size() && comma < 0; ++i) {
            if (inner[i] == u'(')
                ++level;
            else if (inner[i] == u')')
                --level;
            else if (inner[i] == u',' && level == 0)
                comma = i;
        }
        const QStringView partA = comma < 0 ? inner : inner.left(comma);
        const QStringView partB = comma < 0 ? QStringView() : inner.mid(comma + 1);
        const QString a = blankIfOneSpace(expand(partA, depth + 1));
        const bool showFirst = format[start + 1] == u'+';
        if (showFirst && !a.isEmpty())
            out += a;
        else if (showFirst || !a.isEmpty())
            out += blankIfOneSpace(expand(partB, depth + 1));
        return std::min(close + 1, n);
    }

    static QString blankIfOneSpace(const QString& text) {
        return text == QLatin1String(" ") ? QString() : text;
    }

    const CurrentSong& m_song;
    const PathSyntax& m_paths;
};

} // namespace

QString FormatTagInfo(const QString& format, const CurrentSong& song, const PathSyntax& paths) {
    return Formatter(song, paths).expand(format, 0);
}

QString FormatTagInfo(const QString& format, const CurrentSong& song) {
    return FormatTagInfo(format, song, PathSyntax::native());
}

} // namespace pelto
