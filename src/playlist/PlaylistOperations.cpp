#include "PlaylistOperations.h"

#include "PlaylistModel.h"
#include "RowOrders.h"

#include <chrono>
#include <memory>
#include <random>
#include <vector>

namespace pelto {

void PlaylistOperations::deleteSelected(PlaylistModel& model) {
    model.removeFlaggedRows(model.selectionFlags());
}

void PlaylistOperations::moveUp(PlaylistModel& model) {
    model.reorder(orderMovingBlocks(model.selectionFlags(), -1), PlaylistModel::Reorder::Cells);
}

void PlaylistOperations::moveDown(PlaylistModel& model) {
    model.reorder(orderMovingBlocks(model.selectionFlags(), +1), PlaylistModel::Reorder::Cells);
}

void PlaylistOperations::shuffle(PlaylistModel& model, std::function<double()> uniform01) {
    const int n = model.count();
    if (n < 2)
        return;
    // The current song is shown plain while the cells are dealt; the model highlights
    // it again where it lands.
    model.CancelPlayListColor();
    std::vector<bool> firstRowOnly(n);
    firstRowOnly[0] = true;
    model.reorder(orderShuffled(n, uniform01), PlaylistModel::Reorder::Cells, firstRowOnly);
}

std::function<double()> PlaylistOperations::clockSeededUniform() {
    const auto seed = std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
    auto engine = std::make_shared<std::mt19937_64>(seed);
    return [engine] { return std::generate_canonical<double, 53>(*engine); };
}

void PlaylistOperations::sortByColumn(PlaylistModel& model, int column) {
    if (model.count() == 0 || column < 0 || column > 3)
        return;
    model.reorder(orderSortedBy(model.storedRows(), column), PlaylistModel::Reorder::Rows);
}

} // namespace pelto
