#include "Paths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace pelto {

QString CutAtNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString PathSyntax::fileName(const QString& path) const {
    return path.mid(path.lastIndexOf(m_sep) + 1);
}

QString PathSyntax::folder(const QString& path) const {
    return path.left(path.lastIndexOf(m_sep) + 1);
}

QString PathSyntax::title(const QString& path) const {
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

QString PathSyntax::withTrailingSeparator(const QString& folder) const {
    return folder.endsWith(m_sep) ? folder : folder + m_sep;
}

QString extensionOf(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

QString programFolder() {
    const QString home = qEnvironmentVariable("PELTO_HOME");
    if (!home.isEmpty())
        return PathSyntax::native().withTrailingSeparator(home);
    // The entry asks before the application object exists; the kernel knows the
    // executable then too.
    const QString folder =
        QCoreApplication::instance()
            ? QCoreApplication::applicationDirPath()
            : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
    return PathSyntax::native().withTrailingSeparator(folder);
}

} // namespace pelto
