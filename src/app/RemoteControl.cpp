#include "app/RemoteControl.h"

#include <cstdio>

namespace pelto {

int sendRemoteCommand(MultRunningCheck& check, const QString& name,
                      const MultRunningCheck::Timeouts& timeouts) {
    const QByteArray option = "--" + name.toLocal8Bit();
    if (!check.place().isValid()) {
        std::fprintf(stderr, "Pelto: %s: no private runtime folder to meet a running copy in\n",
                     option.constData());
        return 1;
    }
    QString reply;
    switch (check.SendCommand(name, timeouts, &reply)) {
    case MultRunningCheck::SendResult::Handled:
        std::fputs(reply.toLocal8Bit().constData(), stdout);
        return 0;
    case MultRunningCheck::SendResult::BecameFirst:
        std::fprintf(stderr, "Pelto: %s: Pelto is not running\n", option.constData());
        return 1;
    case MultRunningCheck::SendResult::Refused:
        std::fprintf(stderr, "Pelto: %s: the running copy does not know this command\n",
                     option.constData());
        return 1;
    case MultRunningCheck::SendResult::NotFound:
        break;
    }
    std::fprintf(stderr, "Pelto: %s: the running copy did not answer\n", option.constData());
    return 1;
}

} // namespace pelto
