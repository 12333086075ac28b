#pragma once

#include "PlaylistRow.h"

#include <QVector>

#include <functional>
#include <vector>

namespace pelto {

// New orders for the playlist's rows, worked out apart from the model that takes them
// (PlaylistModel::reorder): order[k] is the 0-based row that becomes row k.

// Every block of adjacent flagged rows moves one place up (direction -1) or down (+1);
// the row beside the block goes to its other side. A block at the top (bottom) stays.
std::vector<int> orderMovingBlocks(const std::vector<bool>& flagged, int direction);

// One pass of n swaps: row i (0 … n - 1) swaps with row ⌊n·u⌋, u drawn from uniform01
// in [0, 1) (a draw that rounds up to 1 counts as the last row).
std::vector<int> orderShuffled(int n, const std::function<double()>& uniform01);

// Ascending by the text of a column (0 title, 1 artist, 2 length, 3 path), comparing
// letters ignoring case; rows with equal text keep their order.
std::vector<int> orderSortedBy(const QVector<StoredRow>& rows, int column);

} // namespace pelto
