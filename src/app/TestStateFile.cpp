#include "app/TestStateFile.h"

#include "app/Session.h"
#include "common/SaveFile.h"
#include "player/MainPlayer.h"
#include "tray/TaskTrayForm.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace pelto {

namespace {

void writeTestStateFile(const QString& path, Session& session, int handOffs) {
    const Player& player = session.player();
    const PlaylistModel& list = session.playlist();
    const Settings& settings = session.settings();
    const MainPlayer& window = session.mainWindow();
    const QRect place = window.geometry();
    const QPoint knob = window.element(SkinElement::VolumeBarSkin)->pos();
    // PELTO_TEST_STATE_ROWS=0 leaves the rows out: a benchmark of a long playlist then
    // measures the program, not a JSON text of every row.
    const bool withRows = qEnvironmentVariable("PELTO_TEST_STATE_ROWS") != QLatin1String("0");
    QJsonArray rows, cells;
    for (int n = 1; withRows && n <= list.count(); ++n) {
        const PlaylistRow row = list.row(n);
        rows.append(row.path);
        cells.append(QJsonArray{row.title, row.artist, row.length});
    }
    const QJsonObject state{
        {QStringLiteral("handOffs"), handOffs},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("cells"), cells},
        {QStringLiteral("PlayListTrNum"), list.PlayListTrNum()},
        {QStringLiteral("PlayState"), int(player.PlayState())},
        {QStringLiteral("DmyFileName"), player.DmyFileName()},
        {QStringLiteral("WavVolume"), settings.WavVolume},
        {QStringLiteral("Skin_FilePath"), settings.Skin_FilePath},
        {QStringLiteral("window"), QJsonArray{place.x(), place.y(), place.width(), place.height()}},
        {QStringLiteral("volumeKnob"), QJsonArray{knob.x(), knob.y()}},
    };
    writeFileAtomically(path, QJsonDocument(state).toJson(QJsonDocument::Compact));
}

} // namespace

void watchForTestStateFile(Session& session, const QString& path) {
    auto handOffs = std::make_shared<int>(0);
    const auto write = [path, &session, handOffs] { writeTestStateFile(path, session, *handOffs); };
    QObject::connect(&session, &Session::loaded, &session, [&session, write] {
        write();
        QObject::connect(session.tray(), &TaskTrayForm::menuActionDone, &session, write);
    });
    QObject::connect(&session, &Session::handedOff, &session, [handOffs, write](int count) {
        *handOffs = count;
        write();
    });
}

} // namespace pelto
