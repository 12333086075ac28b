#pragma once

#include <QString>

namespace pelto {

// The text of a path up to, not including, its first NUL character; the whole text
// when it holds none.
QString CutAtNul(const QString& text);

// How paths are spelled. The program runs with the POSIX form ("/" separates, a path
// that begins with "/" is absolute). The Windows form ("\" separates, a drive such as
// "C:" leads an absolute path) is kept so that playlists written by older Windows
// tools can be reasoned about and so that the path rules can be checked against
// examples given in that form.
class PathSyntax {
public:
    static PathSyntax posix() { return PathSyntax(u'/'); }
    static PathSyntax windows() { return PathSyntax(u'\\'); }
    static PathSyntax native() { return posix(); }

    QChar separator() const { return m_sep; }
    bool isWindows() const { return m_sep == u'\\'; }

    // The text after the last separator (the whole path when it holds none).
    QString fileName(const QString& path) const;
    // The path up to and including its last separator; empty when it holds none.
    QString folder(const QString& path) const;
    // The file name without its extension: up to, not including, its last ".";
    // the whole file name when it has no ".".
    QString title(const QString& path) const;
    // The folder with a separator appended when it does not already end in one.
    QString withTrailingSeparator(const QString& folder) const;

private:
    explicit PathSyntax(QChar sep) : m_sep(sep) {}
    QChar m_sep;
};

// The extension of a name: the text from its last "." to its end, lower-cased;
// empty when the name holds no ".". The "." is part of the result (".mp3").
QString extensionOf(const QString& name);

// The program folder, ending in "/": the folder of the executable, or the value of
// the environment variable PELTO_HOME when it is set and not empty. Works before the
// application object exists.
QString programFolder();

} // namespace pelto
