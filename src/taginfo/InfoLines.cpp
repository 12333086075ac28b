#include "taginfo/InfoLines.h"

namespace pelto {

QString infoLineFormat(int i, const Settings& settings, const std::array<QString, 3>& skinTagInfo) {
    if (settings.UseSkinTag != 0)
        return skinTagInfo.at(size_t(i));
    return settings.userTagInfo(i);
}

QString scrollSeparator(const Settings& settings, const QString& skinTagScroll) {
    return settings.UseSkinTag != 0 ? skinTagScroll : settings.TagInfoScroll;
}

QString lineForBox(const QString& text, const QString& separator, int textWidth, int boxWidth) {
    if (textWidth <= boxWidth)
        return text;
    return text + separator + text + separator;
}

} // namespace pelto
