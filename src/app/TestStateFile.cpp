#include "app/TestStateFile.h"

#include "common/SaveFile.h"
#include "player/MainPlayer.h"
#include "player/Player.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pelto {

void writeTestStateFile(const Player& player, const MainPlayer& window, int handOffs) {
    const QString path = qEnvironmentVariable("PELTO_TEST_STATE_FILE");
    if (path.isEmpty())
        return;
    const QRect place = window.geometry();
    const QPoint knob = window.element(SkinElement::VolumeBarSkin)->pos();
    // PELTO_TEST_STATE_ROWS=0 leaves the rows out: a benchmark of a long playlist then
    // measures the program, not a JSON text of every row.
    const bool withRows = qEnvironmentVariable("PELTO_TEST_STATE_ROWS") != QLatin1String("0");
    QJsonArray rows, cells;
    for (int n = 1; withRows && n <= player.playlist().count(); ++n) {
        const PlaylistRow row = player.playlist().row(n);
        rows.append(row.path);
        cells.append(QJsonArray{row.title, row.artist, row.length});
    }
    const QJsonObject state{
        {QStringLiteral("handOffs"), handOffs},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("cells"), cells},
        {QStringLiteral("PlayListTrNum"), player.playlist().PlayListTrNum()},
        {QStringLiteral("PlayState"), player.PlayState()},
        {QStringLiteral("DmyFileName"), player.DmyFileName()},
        {QStringLiteral("WavVolume"), player.settings().WavVolume},
        {QStringLiteral("Skin_FilePath"), player.settings().Skin_FilePath},
        {QStringLiteral("window"), QJsonArray{place.x(), place.y(), place.width(), place.height()}},
        {QStringLiteral("volumeKnob"), QJsonArray{knob.x(), knob.y()}},
    };
    writeFileAtomically(path, QJsonDocument(state).toJson(QJsonDocument::Compact));
}

} // namespace pelto
