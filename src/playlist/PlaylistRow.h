#pragma once

#include <QString>
#include <QStringView>

namespace pelto {

// One playlist row: four text cells. The path is the row's identity; title, artist
// and length are display text computed once when the row is added.
struct PlaylistRow {
    QString title;
    QString artist;
    QString length; // "mm:ss"
    QString path;
};

// A playlist row as the model keeps it, in a fraction of the memory of its four
// cells (a list may hold millions): the folder part of the path is shared with the
// row before it when both lie in the same folder; the file name, the title and the
// artist sit in one string; the title is left out when it is the file name without
// its extension (as for a file without tags); the length is kept in seconds and
// written "mm:ss" when asked for. The cells come back exactly as they were given:
// a length that is not the "mm:ss" of a number of seconds is kept as text.
class StoredRow {
public:
    StoredRow() = default;
    // The row of these cells; shares the folder string of `previous` (the row that
    // will stand before it) when they are equal.
    explicit StoredRow(const PlaylistRow& cells, const StoredRow* previous = nullptr);

    PlaylistRow cells() const;
    // Cell by column: 0 title, 1 artist, 2 length, 3 path.
    QString cell(int column) const;
    QString path() const;
    // The title and artist cells without a copy; valid while the row is unchanged.
    QStringView titleView() const;
    QStringView artistView() const;
    // The path's two parts without a copy: the folder up to its last "/", the file name.
    QStringView folderView() const { return m_folder; }
    QStringView nameView() const { return QStringView(m_text).first(m_nameLength); }
    bool pathEquals(QStringView path) const;

    // The current-row highlight, which stays with the place when cells move.
    bool highlighted() const { return m_highlighted; }
    void setHighlighted(bool on) { m_highlighted = on; }
    // Trades cells with another row; each keeps its highlight.
    void swapCells(StoredRow& other);

private:
    QString m_folder; // up to and including the last "/"; shared between rows
    QString m_text;   // file name, title (unless derived), artist, length text (if kept)
    qint32 m_nameLength = 0;
    qint32 m_titleLength = -1; // -1: the file name up to its last "."
    qint32 m_artistLength = 0;
    qint32 m_seconds : 31 = -1; // -1: the length text follows the artist
    quint32 m_highlighted : 1 = 0;
};

} // namespace pelto

Q_DECLARE_TYPEINFO(pelto::StoredRow, Q_RELOCATABLE_TYPE);
