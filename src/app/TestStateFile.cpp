#include "app/TestStateFile.h"

#include "common/LegacyText.h"
#include "player/Player.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pelto {

void writeTestStateFile(const Player& player, int handOffs) {
    const QString path = qEnvironmentVariable("PELTO_TEST_STATE_FILE");
    if (path.isEmpty())
        return;
    QJsonArray rows;
    for (int n = 1; n <= player.playlist().count(); ++n)
        rows.append(player.playlist().path(n));
    const QJsonObject state{
        {QStringLiteral("handOffs"), handOffs},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("PlayListTrNum"), player.playlist().PlayListTrNum()},
        {QStringLiteral("PlayState"), player.PlayState()},
        {QStringLiteral("DmyFileName"), player.DmyFileName()},
    };
    writeFileAtomically(path, QJsonDocument(state).toJson(QJsonDocument::Compact));
}

} // namespace pelto
