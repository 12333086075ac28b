// The popup menu's structure, offscreen: every item in order with its control name,
// its caption byte for byte (the double spaces around "-"), the separators, the
// submenus and which items carry a check mark; the volume items with the step each
// sets; and the skin entries as the skin list fills them.
#include "tray/TrayMenu.h"
#include "tray/TrayVolume.h"

#include <QtTest>

using namespace pelto;

namespace {

// One line per item: the submenu depth as dots, the control name, the caption ("-"
// for a separator) and "[ ]" or "[x]" for an item with a check mark.
QStringList outline(const QMenu* menu, const QString& depth = {}) {
    QStringList lines;
    for (const QAction* action : menu->actions()) {
        QString line = depth + action->objectName() + ' ' + TrayMenu::captionOf(action);
        if (action->isCheckable())
            line += action->isChecked() ? " [x]" : " [ ]";
        lines.append(line);
        if (action->menu())
            lines += outline(action->menu(), depth + "· ");
    }
    return lines;
}

} // namespace

class TestTrayMenu : public QObject {
    Q_OBJECT
private slots:
    void itemsInOrder();
    void volumeItems();
    void skinEntries();
};

void TestTrayMenu::itemsInOrder() {
    TrayMenu menu;
    QCOMPARE(menu.objectName(), QString("mnuTray"));
    QCOMPARE(menu.title(), QString("ポップアップメニュー"));
    QStringList expected{
        "AlwaysTop 常に手前に表示 [ ]",
        "AlwaysTopPlaylist プレイリストを常に手前に表示 [ ]",
        "bar9 -",
        "View_PlayList_Menu プレイリスト [ ]",
        "bar1 -",
        "SoundCmd 曲操作",
        "· BackSound_Menu Z  -  前の曲へ",
        "· PlaySound_Menu X  -  再生",
        "· PauseSound_Menu C  -  一時停止・再開",
        "· StopSound_Menu V  -  停止",
        "· NextSound_Menu B  -  次の曲へ",
        "· bar8 -",
        "· PlaySoundTop_Menu D  -  プレイリストの先頭から再生",
        "· bar5 -",
        "· OpenSound_Menu A  -  ファイルを開く",
        "· AddSound_Menu S  -  プレイリストに追加する",
        "bar2 -",
        "VolumeMenu 音量",
    };
    for (const char* caption :
         {"100%", "90%", "80%", "70%", "60%", "50%", "40%", "30%", "20%", "10%", "0%"})
        expected.append(QStringLiteral("· SetVolume ") + caption);
    expected += QStringList{
        "bar10 -",
        "SkinMenu スキン",
        "· SkinInfomation スキン情報",
        "· bar7 -",
        "· SkinList (ここにスキンが追加される) [ ]",
        "bar6 -",
        "Setting 設定",
        "bar3 -",
        "VerInfo バージョン情報",
        "bar4 -",
        "End_Program Pelto の終了",
    };
    QCOMPARE(outline(&menu), expected);
}

void TestTrayMenu::volumeItems() {
    // The step of each item, (10 - k) × 3.1 rounded to the nearest.
    const int steps[kTrayVolumeItems] = {31, 28, 25, 22, 19, 16, 12, 9, 6, 3, 0};
    TrayMenu menu;
    for (int k = 0; k < kTrayVolumeItems; ++k) {
        QCOMPARE(trayVolumeStep(k), steps[k]);
        QCOMPARE(menu.SetVolume[size_t(k)]->data().toInt(), k);
        QVERIFY(!menu.SetVolume[size_t(k)]->isCheckable());
    }
}

void TestTrayMenu::skinEntries() {
    TrayMenu menu;
    QSignalSpy chosen(&menu, &TrayMenu::skinChosen);
    menu.setSkinEntries({"standard", "R&B", "washi"});
    menu.setCheckedEntry(0);
    QCOMPARE(outline(menu.SkinMenu).mid(2),
             (QStringList{"SkinList standard [x]", "SkinList R&B [ ]", "SkinList washi [ ]"}));
    // Choosing reports the name; the mark moves only when the skin has loaded.
    menu.SkinList()[1]->trigger();
    QCOMPARE(chosen.takeFirst(), (QVariantList{1, "R&B"}));
    QCOMPARE(outline(menu.SkinMenu).mid(2, 2),
             (QStringList{"SkinList standard [x]", "SkinList R&B [ ]"}));
    // The unload leaves the first entry only.
    menu.setSkinEntries({"standard"});
    QCOMPARE(menu.SkinList().size(), 1);
    QCOMPARE(outline(menu.SkinMenu).mid(2), QStringList{"SkinList standard [ ]"});
}

QTEST_MAIN(TestTrayMenu)
#include "tst_tray_menu.moc"
