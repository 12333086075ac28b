#include "ThreadProbe.h"

#include <QDir>
#include <QFile>

namespace pelto::test {

namespace {

QByteArray readProcFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Calls `each` with the folder of every thread whose name starts with `prefix`.
template <typename Each> void forThreadsNamed(const QString& prefix, Each each) {
    const QDir tasks("/proc/self/task");
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = tasks.filePath(tid);
        if (QString::fromUtf8(readProcFile(folder + "/comm")).startsWith(prefix))
            each(folder);
    }
}

} // namespace

int threadsNamed(const QString& prefix) {
    int count = 0;
    forThreadsNamed(prefix, [&](const QString&) { ++count; });
    return count;
}

qint64 contextSwitchesOf(const QString& prefix) {
    qint64 switches = 0;
    forThreadsNamed(prefix, [&](const QString& folder) {
        for (const QByteArray& line : readProcFile(folder + "/status").split('\n')) {
            if (line.contains("ctxt_switches:"))
                switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
    });
    return switches;
}

} // namespace pelto::test
