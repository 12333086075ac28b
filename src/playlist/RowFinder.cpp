#include "RowFinder.h"

#include "PlaylistModel.h"

namespace pelto {

RowFinder::RowFinder(const PlaylistModel& model) : m_keys(model) {
    m_rows = m_keys.rowsMatching(m_query);
    // Sent once per change, after the keys have followed it.
    connect(&model, &PlaylistModel::rowsChanged, this, &RowFinder::findAgain);
}

void RowFinder::setQuery(QStringView text) {
    MatchQuery query(text);
    const bool narrower = query.narrows(m_query);
    m_query = std::move(query);
    m_rows = m_keys.rowsMatching(m_query, narrower && !m_stale ? &m_rows : nullptr);
    m_stale = false;
    emit rowsFound();
}

void RowFinder::setLive(bool live) {
    m_live = live;
    if (m_live && m_stale)
        findAgain();
}

void RowFinder::findAgain() {
    m_stale = !m_live;
    if (m_stale)
        return;
    m_rows = m_keys.rowsMatching(m_query);
    emit rowsFound();
}

} // namespace pelto
