#include "app/StartUp.h"

#include <cstdio>

namespace pelto {

std::optional<int> StartUp(MultRunningCheck& check, const QString& commandLine,
                           const MultRunningCheck::Timeouts& timeouts) {
    if (!check.place().isValid())
        std::fprintf(stderr, "Pelto: no private runtime folder; running without the "
                             "single-instance check\n");
    if (check.claimFirst())
        return std::nullopt;
    switch (check.SendCommandLine(commandLine, timeouts)) {
    case MultRunningCheck::SendResult::BecameFirst:
        return std::nullopt;
    case MultRunningCheck::SendResult::Handled:
        return 0;
    case MultRunningCheck::SendResult::Refused:
        std::fprintf(stderr, "Pelto: the running copy refused the command line (over 1 MiB)\n");
        return 1;
    case MultRunningCheck::SendResult::NotFound:
        break;
    }
    std::fprintf(stderr, "Pelto: another copy holds the instance lock but did not answer\n");
    return 1;
}

} // namespace pelto
