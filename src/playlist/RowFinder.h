#pragma once

#include "MatchText.h"
#include "PlaylistMatchKeys.h"

#include <QObject>
#include <QString>

#include <vector>

namespace pelto {

class PlaylistModel;

// What the find window lists: the rows of the playlist that match its query, in
// playlist order, found again whenever the query or the rows change. A query typed on
// from the last one looks only among the rows the last one found.
class RowFinder : public QObject {
    Q_OBJECT
public:
    // The model must outlive the finder. The keys are made here, once.
    explicit RowFinder(const PlaylistModel& model);

    void setQuery(QStringView text);
    // Whether changed rows are searched at once (the default). While not, a change is
    // only noted (a hidden window needs no list), and switching back on finds the rows
    // again when any changed; the keys follow the rows either way.
    void setLive(bool live);
    // The rows found (0-based).
    const std::vector<int>& rows() const { return m_rows; }
    const PlaylistMatchKeys& keys() const { return m_keys; }

signals:
    // rows() holds the rows of a new query, or of the same query over changed rows.
    void rowsFound();

private:
    void findAgain();

    PlaylistMatchKeys m_keys;
    MatchQuery m_query;
    std::vector<int> m_rows;
    bool m_live = true;
    bool m_stale = false;
};

} // namespace pelto
