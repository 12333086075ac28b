#pragma once

#include "app/MultRunningCheck.h"

namespace pelto {

// A remote command from the shell (`pelto --next`), before any window or application
// object exists: the running copy that check meets runs the command `name` (see
// remoteCommandNames) and this process prints the reply on stdout (the status for
// "status", nothing for the others). Gives the exit code: 0 once the command has run;
// 1 with one line on stderr when no copy runs (none is started: the lock this
// process took to find that out goes with check), when it did not answer in time or
// refused the command.
int sendRemoteCommand(MultRunningCheck& check, const QString& name,
                      const MultRunningCheck::Timeouts& timeouts = {});

} // namespace pelto
