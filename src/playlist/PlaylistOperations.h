#pragma once

#include <functional>

namespace pelto {

class PlaylistModel;

// The row operations of the playlist window, on the model. Each works out which rows
// go or their new order (RowOrders.h) from the selection read once, and hands it to
// the model in one piece (PlaylistModel::removeFlaggedRows, PlaylistModel::reorder),
// which keeps PlayListTrNum on its song and announces rowsChanged and
// playListTrNumChanged once at the end, when they apply.
class PlaylistOperations {
public:
    // Removes the selected rows. PlayListTrNum counts down for every removed row
    // above it; when the current row itself goes, PlayListTrNum keeps its number
    // (now the row that followed) and no row is highlighted. If rows remain, the
    // focused row (the one that took its place when it was removed) is selected.
    static void deleteSelected(PlaylistModel& model);

    // Moves every block of adjacent selected rows one place up (down); the row above
    // (below) the block goes to its other side. A block at the top (bottom) stays.
    // Cells move, the highlight and the focus stay with their place, the selection
    // follows the block; the highlight is then set on PlayListTrNum again.
    static void moveUp(PlaylistModel& model);
    static void moveDown(PlaylistModel& model);

    // One pass of n swaps: row i (1 … n) swaps cells with row ⌊n·u⌋ + 1, u drawn
    // from uniform01 in [0, 1). Afterwards only row 1 is selected and the current
    // song is highlighted where it landed. Lists of fewer than two rows stay as
    // they are.
    static void shuffle(PlaylistModel& model, std::function<double()> uniform01);
    // A uniform [0, 1) source seeded from the clock, for shuffle.
    static std::function<double()> clockSeededUniform();

    // Sorts the rows once, ascending by the text of a column (0 title, 1 artist,
    // 2 length, 3 path), comparing letters ignoring case; rows with equal text keep
    // their order. Rows take their selection, highlight and focus with them;
    // PlayListTrNum becomes FindPlayingRow() (1 when no row is highlighted).
    static void sortByColumn(PlaylistModel& model, int column);
};

} // namespace pelto
