#include "about/VersionText.h"

namespace pelto {

QString versionCaption(int major, int minor, int revision) {
    QString text = QStringLiteral("%1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0'));
    if (revision != 0)
        text += u'.' + QString::number(revision);
    return text;
}

int nextAnimeFrame(int frame) {
    const int next = frame + 1;
    return next == 6 ? 1 : next;
}

} // namespace pelto
