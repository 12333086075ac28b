#pragma once

#include "MatchText.h"

#include <QObject>

#include <string>
#include <vector>

namespace pelto {

class PlaylistModel;

// The match keys of the playlist's rows, for the find window: per row the title, the
// artist and the path in match form (MatchText.h), made once and kept in step with the
// model through its signals (rows added, removed, moved, sorted, shuffled, reset), so a
// query only reads them. A row's key is its three texts in UTF-8 separated by a line
// break, which no query word holds, so a word is found within one text.
//
// The keys lie end to end in one block of text; each row holds its key's place there
// and a hash of the texts it was made from. When rows change places, a row whose texts
// hash as before keeps its key, and one whose texts came from another row takes that
// row's key: a sort or a shuffle moves places, and only texts never seen are made anew.
class PlaylistMatchKeys : public QObject {
    Q_OBJECT
public:
    // Makes the keys of every row of the model, which must outlive this object.
    explicit PlaylistMatchKeys(const PlaylistModel& model);

    int count() const { return int(m_rows.size()); }
    // The key of row `row` (0-based).
    std::string_view key(int row) const;
    // The rows (0-based, in playlist order) that match the query; of `within` (0-based
    // rows in order) only, when given.
    std::vector<int> rowsMatching(const MatchQuery& query,
                                  const std::vector<int>* within = nullptr) const;
    // The memory the keys take, in bytes (what is reserved, not only what is used).
    size_t bytesUsed() const;

private:
    struct Row {
        quint32 start = 0;  // where the key begins in m_text
        quint32 length = 0; // its length in bytes
        size_t hash = 0;    // of the texts it was made from
    };
    Row makeRow(int row);
    size_t hashOf(int row) const;
    // Rows first … last (0-based) may hold other texts than before.
    void refresh(int first, int last);
    // The model was reset: every row takes its key from the rows before, or a new one.
    void rebuild();
    // Rows first … last take the key in `pool` made from the same texts, or a new one;
    // with `kept`, a row whose texts hash as before keeps its own.
    void takeKeys(std::vector<Row> pool, int first, int last, bool kept);
    // Writes the keys in use end to end afresh when most of the block lies unused.
    void compactIfSparse();

    const PlaylistModel& m_model;
    std::string m_text;
    std::vector<Row> m_rows;
};

} // namespace pelto
