#include "TestChild.h"

#include <csignal>
#include <linux/close_range.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace pelto::test {

void tieToTest(QProcess& process) {
    // Runs in the child between fork and exec. A test that ended before the request
    // took effect would never send the signal, so the child ends itself then.
    process.setChildProcessModifier([parent = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    });
}

} // namespace pelto::test
