#include "CommandLineSplit.h"

namespace pelto {

QStringList splitCommandLine(QStringView text) {
    static constexpr QStringView kQuoteSpace = u"\" ";
    QStringList names;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos < n) {
        const QStringView rest = text.mid(pos);
        const bool quoted = rest.front() == u'"';
        // The closing quote of a quoted name may be its opening one when a space
        // follows it at once ("\" x"): the name is then empty.
        const qsizetype end = quoted ? rest.indexOf(kQuoteSpace) : rest.indexOf(u' ');
        QString name;
        if (end < 0) {
            name = rest.toString();
            pos = n;
        } else {
            name = rest.left(end).toString();
            pos += end + (quoted ? 2 : 1);
        }
        name.remove(u'"');
        names.push_back(name);
    }
    return names;
}

} // namespace pelto
