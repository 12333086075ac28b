#include "PlaylistMatchKeys.h"

#include "PlaylistModel.h"

#include <algorithm>
#include <functional>
#include <string_view>

namespace pelto {

namespace {

// The block is written afresh when less than this share of it is in use.
constexpr size_t kUnusedShare = 2;
// ... and at least this much lies unused.
constexpr size_t kMinUnusedBytes = 64 * 1024;

} // namespace

PlaylistMatchKeys::PlaylistMatchKeys(const PlaylistModel& model)
    : QObject(nullptr), m_model(model) {
    rebuild();
    connect(&model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                std::vector<Row> made;
                made.reserve(size_t(last - first + 1));
                for (int r = first; r <= last; ++r)
                    made.push_back(makeRow(r));
                m_rows.insert(m_rows.begin() + first, made.begin(), made.end());
            });
    connect(&model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
                compactIfSparse();
            });
    connect(&model, &QAbstractItemModel::modelReset, this, &PlaylistMatchKeys::rebuild);
    connect(&model, &QAbstractItemModel::layoutChanged, this, [this] { refresh(0, count() - 1); });
    connect(&model, &QAbstractItemModel::rowsMoved, this, [this] { refresh(0, count() - 1); });
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                refresh(topLeft.row(), bottomRight.row());
            });
}

std::string_view PlaylistMatchKeys::key(int row) const {
    const Row& r = m_rows[size_t(row)];
    return std::string_view(m_text).substr(r.start, r.length);
}

size_t PlaylistMatchKeys::hashOf(int row) const {
    const StoredRow& stored = m_model.storedRows()[row];
    // Each text's length goes in too, so a letter moved from one text to the next
    // changes the hash.
    size_t h = 0;
    for (const QStringView text :
         {stored.titleView(), stored.artistView(), stored.folderView(), stored.nameView()}) {
        const std::u16string_view units(text.utf16(), size_t(text.size()));
        h = (h ^ std::hash<std::u16string_view>()(units)) * 0x100000001B3ull + units.size();
    }
    return h;
}

PlaylistMatchKeys::Row PlaylistMatchKeys::makeRow(int row) {
    const StoredRow& stored = m_model.storedRows()[row];
    Row made;
    made.start = quint32(m_text.size());
    appendMatchForm(stored.titleView(), m_text);
    m_text += '\n';
    appendMatchForm(stored.artistView(), m_text);
    m_text += '\n';
    appendMatchForm(stored.path(), m_text);
    made.length = quint32(m_text.size() - made.start);
    made.hash = hashOf(row);
    return made;
}

void PlaylistMatchKeys::rebuild() {
    // A reset may keep most rows (a removal of many scattered rows is one): the rows
    // before it are the pool the keys are taken from.
    std::vector<Row> pool = std::move(m_rows);
    m_rows.assign(size_t(m_model.count()), Row{});
    if (m_rows.empty()) {
        m_rows.shrink_to_fit();
        std::string().swap(m_text);
        return;
    }
    takeKeys(std::move(pool), 0, count() - 1, false);
    // The block grew by doubling while the keys were made: it keeps only what they take.
    m_text.shrink_to_fit();
}

void PlaylistMatchKeys::refresh(int first, int last) {
    if (first > last || last >= count())
        return;
    takeKeys(std::vector<Row>(m_rows.begin() + first, m_rows.begin() + last + 1), first, last,
             true);
}

void PlaylistMatchKeys::takeKeys(std::vector<Row> pool, int first, int last, bool kept) {
    bool sorted = false, made = false;
    const auto byHash = [](const Row& a, const Row& b) { return a.hash < b.hash; };
    for (int r = first; r <= last; ++r) {
        const size_t h = hashOf(r);
        Row& row = m_rows[size_t(r)];
        if (kept && row.hash == h)
            continue;
        if (!sorted) {
            std::sort(pool.begin(), pool.end(), byHash);
            sorted = true;
        }
        const auto found = std::lower_bound(pool.begin(), pool.end(), Row{0, 0, h}, byHash);
        if (found != pool.end() && found->hash == h) {
            row = *found;
        } else {
            row = makeRow(r);
            made = true;
        }
    }
    if (made)
        compactIfSparse();
}

void PlaylistMatchKeys::compactIfSparse() {
    size_t used = 0;
    for (const Row& r : m_rows)
        used += r.length;
    if (m_text.size() < kUnusedShare * used || m_text.size() - used < kMinUnusedBytes)
        return;
    std::string text;
    text.reserve(used);
    for (Row& r : m_rows) {
        const quint32 start = quint32(text.size());
        text.append(m_text, r.start, r.length);
        r.start = start;
    }
    m_text = std::move(text);
}

std::vector<int> PlaylistMatchKeys::rowsMatching(const MatchQuery& query,
                                                 const std::vector<int>* within) const {
    std::vector<int> found;
    if (within) {
        for (int r : *within)
            if (r < count() && query.matches(key(r)))
                found.push_back(r);
        return found;
    }
    if (query.matchesEverything()) {
        found.resize(m_rows.size());
        for (int r = 0; r < count(); ++r)
            found[size_t(r)] = r;
        return found;
    }
    for (int r = 0; r < count(); ++r)
        if (query.matches(key(r)))
            found.push_back(r);
    return found;
}

size_t PlaylistMatchKeys::bytesUsed() const {
    return m_text.capacity() + m_rows.capacity() * sizeof(Row);
}

} // namespace pelto
