#include "player/SoundFileDialog.h"

#include <QFileDialog>

namespace pelto {

QStringList soundFileFilters() {
    // Each description names its patterns as the user reads them; Qt takes the
    // patterns from the last parenthesis, separated by spaces.
    const char16_t* const pairs[][2] = {
        {u"対応ファイル(*.mp3;*.mp2;*.mp1;*.rmp;*.m3u;*.wav)",
         u"*.mp3;*.mp2;*.mp1;*.rmp;*.m3u;*.wav"},
        {u"Mpeg Audio(*.mp3;*.mp2;*.mp1;*.rmp)", u"*.mp3;*.mp2;*.mp1;*.rmp"},
        {u"プレイリスト(*.m3u)", u"*.m3u"},
        {u"Wave Audio(*.wav)", u"*.wav"},
    };
    QStringList filters;
    for (const auto& pair : pairs)
        filters.append(QString::fromUtf16(pair[0]) + QStringLiteral(" (") +
                       QString::fromUtf16(pair[1]).replace(u';', u' ') + u')');
    return filters;
}

std::optional<QStringList> chooseSoundFiles(QWidget* parent, const QString& title) {
    const QStringList filters = soundFileFilters();
    const QStringList chosen =
        QFileDialog::getOpenFileNames(parent, title, QString(), filters.join(QStringLiteral(";;")));
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

} // namespace pelto
