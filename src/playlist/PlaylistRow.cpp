#include "PlaylistRow.h"

#include "common/TimeText.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace pelto {

namespace {

// The largest number of seconds a row keeps as a number.
constexpr qint64 kMaxSeconds = (qint64(1) << 30) - 1;

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The number of seconds whose "mm:ss" (timeText) is exactly this text; none when no
// number gives it (a length of another shape is kept as text).
std::optional<qint32> secondsOf(QStringView text) {
    const qsizetype colon = text.indexOf(u':');
    // At least two digits of minutes, a leading zero only in the two-digit form.
    if (colon < 2 || colon > 9 || text.size() != colon + 3 || (colon > 2 && text[0] == u'0'))
        return std::nullopt;
    qint64 minutes = 0;
    for (QChar c : text.first(colon)) {
        if (!isAsciiDigit(c))
            return std::nullopt;
        minutes = minutes * 10 + (c.unicode() - u'0');
    }
    const QChar tens = text[colon + 1], units = text[colon + 2];
    if (!isAsciiDigit(tens) || tens > u'5' || !isAsciiDigit(units))
        return std::nullopt;
    const qint64 seconds = minutes * 60 + (tens.unicode() - u'0') * 10 + (units.unicode() - u'0');
    if (seconds > kMaxSeconds)
        return std::nullopt;
    return qint32(seconds);
}

// The title a file without tags gets: the file name up to its last ".".
QStringView titleOfName(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.first(dot);
}

} // namespace

StoredRow::StoredRow(const PlaylistRow& cells, const StoredRow* previous) {
    const QStringView path(cells.path);
    const qsizetype slash = path.lastIndexOf(u'/');
    const QStringView folder = path.first(slash + 1);
    const QStringView name = path.sliced(slash + 1);
    if (previous && previous->m_folder == folder)
        m_folder = previous->m_folder;
    else
        m_folder = folder.toString();

    const bool titleFromName = cells.title == titleOfName(name);
    const std::optional<qint32> seconds = secondsOf(cells.length);
    m_text.reserve(name.size() + (titleFromName ? 0 : cells.title.size()) + cells.artist.size() +
                   (seconds ? 0 : cells.length.size()));
    m_text.append(name);
    m_nameLength = qint32(name.size());
    if (!titleFromName) {
        m_text.append(cells.title);
        m_titleLength = qint32(cells.title.size());
    }
    m_text.append(cells.artist);
    m_artistLength = qint32(cells.artist.size());
    if (seconds)
        m_seconds = *seconds;
    else
        m_text.append(cells.length);
}

QStringView StoredRow::titleView() const {
    if (m_titleLength < 0)
        return titleOfName(nameView());
    return QStringView(m_text).sliced(m_nameLength, m_titleLength);
}

QStringView StoredRow::artistView() const {
    return QStringView(m_text).sliced(m_nameLength + std::max(m_titleLength, 0), m_artistLength);
}

QString StoredRow::path() const {
    QString path;
    path.reserve(m_folder.size() + m_nameLength);
    return path.append(m_folder).append(nameView());
}

bool StoredRow::pathEquals(QStringView path) const {
    return path.size() == m_folder.size() + m_nameLength && path.startsWith(m_folder) &&
           path.sliced(m_folder.size()) == nameView();
}

QString StoredRow::cell(int column) const {
    switch (column) {
    case 0:
        return titleView().toString();
    case 1:
        return artistView().toString();
    case 2:
        if (m_seconds >= 0)
            return timeText(m_seconds);
        return QStringView(m_text)
            .sliced(m_nameLength + std::max(m_titleLength, 0) + m_artistLength)
            .toString();
    case 3:
        return path();
    }
    return {};
}

PlaylistRow StoredRow::cells() const {
    return PlaylistRow{cell(0), cell(1), cell(2), cell(3)};
}

void StoredRow::swapCells(StoredRow& other) {
    const bool mine = m_highlighted, theirs = other.m_highlighted;
    std::swap(*this, other);
    m_highlighted = mine;
    other.m_highlighted = theirs;
}

} // namespace pelto
