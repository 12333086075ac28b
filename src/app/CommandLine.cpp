#include "app/CommandLine.h"

#include "common/Paths.h"

namespace pelto {

QString joinCommandLine(const QStringList& arguments) {
    QStringList parts;
    parts.reserve(arguments.size());
    for (const QString& arg : arguments)
        parts.append(arg.contains(u' ') ? u'"' + arg + u'"' : arg);
    return parts.join(u' ');
}

QString commandLineOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return joinCommandLine(arguments);
}

QByteArray handOffPayload(const QString& commandLine) {
    return commandLine.toUtf8() + QByteArray(3, '\0');
}

QString commandLineFromPayload(const QByteArray& payload) {
    return CutAtNul(QString::fromUtf8(payload));
}

} // namespace pelto
