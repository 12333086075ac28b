#pragma once

#include <QString>

namespace pelto {

// Why a file that the decoder would not open cannot be played, in a few words: what
// the file system says (no such file, not a regular file, not readable) or else that
// its content is not audio the decoder plays.
// `readFailure` is what the decoder said about reading it, when it said anything.
QString unplayableReason(const QString& path, const QString& readFailure = {});

// Reports a file that cannot be played: one line on stderr naming it and why.
void reportUnplayable(const QString& path, const QString& readFailure = {});

} // namespace pelto
