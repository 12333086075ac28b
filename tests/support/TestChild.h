#pragma once

#include <QProcess>

namespace pelto::test {

// Ties a process the test is about to start to the test. It dies with the test, however
// the test ends (a failed check, an abort, a sanitizer's report, a crash): the kernel
// sends it SIGKILL when the test process goes, so no copy outlives the test holding its
// output pipes (which would keep CTest waiting) or its files. And it inherits no
// descriptor of the test but stdin, stdout and stderr, so whatever it holds open is its
// own. Call before QProcess::start.
void tieToTest(QProcess& process);

} // namespace pelto::test
