#pragma once

#include "settings/Settings.h"

#include <QString>

#include <array>

namespace pelto {

// The text side of the three information lines: which format and separator a line
// takes, and how a line too wide for its box is prepared for seamless scrolling.

// The format string of line i (0 to 2): the skin's while UseSkinTag is not 0, else the
// user's TagInfo1 to TagInfo3.
QString infoLineFormat(int i, const Settings& settings, const std::array<QString, 3>& skinTagInfo);

// The text put between the repeats of a scrolling line: the skin's while UseSkinTag is
// not 0, else the user's TagInfoScroll. It is literal text, never expanded.
QString scrollSeparator(const Settings& settings, const QString& skinTagScroll);

// What a box shows for a line: the text itself when it fits (textWidth <= boxWidth),
// else text + separator + text + separator, so that drawing it twice in a row wraps
// without a gap.
QString lineForBox(const QString& text, const QString& separator, int textWidth, int boxWidth);

} // namespace pelto
