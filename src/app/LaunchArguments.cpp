#include "app/LaunchArguments.h"

#include "common/FileNames.h"
#include "common/Paths.h"

#include <QDir>

namespace pelto {

QString joinCommandLine(const QStringList& arguments) {
    QStringList parts;
    parts.reserve(arguments.size());
    for (const QString& arg : arguments)
        parts.append(arg.contains(u' ') ? u'"' + arg + u'"' : arg);
    return parts.join(u' ');
}

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(decodeFileName(argv[i]));
    return arguments;
}

QStringList absoluteNames(const QStringList& names, const QString& folder) {
    const QDir base(folder);
    QStringList absolute;
    absolute.reserve(names.size());
    for (const QString& name : names)
        absolute.append(name.isEmpty() ? name : QDir::cleanPath(base.absoluteFilePath(name)));
    return absolute;
}

QByteArray handOffPayload(const QString& commandLine) {
    return encodeFileName(commandLine) + QByteArray(3, '\0');
}

QString commandLineFromPayload(const QByteArray& payload) {
    return CutAtNul(decodeFileName(payload));
}

} // namespace pelto
