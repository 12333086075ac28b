#pragma once

#include <QString>

namespace pelto::test {

// The threads of this process as the kernel lists them, by the start of their names:
// how many run, and how often they have been switched in and out so far (a thread
// that sleeps keeps that count).
int threadsNamed(const QString& prefix);
qint64 contextSwitchesOf(const QString& prefix);

} // namespace pelto::test
