#pragma once

#include "app/MultRunningCheck.h"

#include <optional>

namespace pelto {

// The first step of the entry, before any window or application object exists.
// Returns nothing when this process is to run as the first copy (check then holds
// the lock). Otherwise another copy runs: commandLine has been handed to it and
// dealt with, and the result is the exit code this process ends with at once,
// without a window and without reading or writing any file. A copy that cannot be
// reached, or refuses the message, gives 1 and one line on stderr.
std::optional<int> StartUp(MultRunningCheck& check, const QString& commandLine,
                           const MultRunningCheck::Timeouts& timeouts = {});

} // namespace pelto
