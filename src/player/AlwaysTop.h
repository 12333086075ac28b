#pragma once

class QWidget;

namespace pelto {

// The one way the program changes whether a window stays above the others: the window
// keeps on top while `on` is true. Either way it is then shown and raised, also when
// it was hidden.
void SetAlwaysTop(QWidget* window, bool on);

} // namespace pelto
