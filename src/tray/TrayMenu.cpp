#include "tray/TrayMenu.h"

namespace pelto {

namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption, bool checkable = false) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    return action;
}

QMenu* submenu(QMenu* menu, const char* name, const QString& caption) {
    QMenu* sub = menu->addMenu(caption);
    sub->setObjectName(QLatin1String(name));
    sub->menuAction()->setObjectName(QLatin1String(name));
    return sub;
}

// Menus read "&" as the mark of a shortcut letter; a skin folder's name is shown whole.
QString escapeAmpersands(QString text) {
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

TrayMenu::TrayMenu(QWidget* parent) : QMenu(QStringLiteral("ポップアップメニュー"), parent) {
    setObjectName(QStringLiteral("mnuTray"));

    AlwaysTop = item(this, "AlwaysTop", QStringLiteral("常に手前に表示"), true);
    AlwaysTopPlaylist =
        item(this, "AlwaysTopPlaylist", QStringLiteral("プレイリストを常に手前に表示"), true);
    addSeparator()->setObjectName(QStringLiteral("bar9"));
    View_PlayList_Menu = item(this, "View_PlayList_Menu", QStringLiteral("プレイリスト"), true);
    addSeparator()->setObjectName(QStringLiteral("bar1"));

    SoundCmd = submenu(this, "SoundCmd", QStringLiteral("曲操作"));
    BackSound_Menu = item(SoundCmd, "BackSound_Menu", QStringLiteral("Z  -  前の曲へ"));
    PlaySound_Menu = item(SoundCmd, "PlaySound_Menu", QStringLiteral("X  -  再生"));
    PauseSound_Menu = item(SoundCmd, "PauseSound_Menu", QStringLiteral("C  -  一時停止・再開"));
    StopSound_Menu = item(SoundCmd, "StopSound_Menu", QStringLiteral("V  -  停止"));
    NextSound_Menu = item(SoundCmd, "NextSound_Menu", QStringLiteral("B  -  次の曲へ"));
    SoundCmd->addSeparator()->setObjectName(QStringLiteral("bar8"));
    PlaySoundTop_Menu =
        item(SoundCmd, "PlaySoundTop_Menu", QStringLiteral("D  -  プレイリストの先頭から再生"));
    SoundCmd->addSeparator()->setObjectName(QStringLiteral("bar5"));
    OpenSound_Menu = item(SoundCmd, "OpenSound_Menu", QStringLiteral("A  -  ファイルを開く"));
    AddSound_Menu = item(SoundCmd, "AddSound_Menu", QStringLiteral("S  -  プレイリストに追加する"));
    addSeparator()->setObjectName(QStringLiteral("bar2"));

    VolumeMenu = submenu(this, "VolumeMenu", QStringLiteral("音量"));
    for (int k = 0; k < kTrayVolumeItems; ++k) {
        SetVolume[size_t(k)] = item(VolumeMenu, "SetVolume", trayVolumeCaption(k));
        SetVolume[size_t(k)]->setData(k);
    }
    addSeparator()->setObjectName(QStringLiteral("bar10"));

    SkinMenu = submenu(this, "SkinMenu", QStringLiteral("スキン"));
    SkinInfomation = item(SkinMenu, "SkinInfomation", QStringLiteral("スキン情報"));
    SkinMenu->addSeparator()->setObjectName(QStringLiteral("bar7"));
    addSkinEntry(QString::fromUtf16(kSkinListDesignCaption));
    addSeparator()->setObjectName(QStringLiteral("bar6"));

    Setting = item(this, "Setting", QStringLiteral("設定"));
    addSeparator()->setObjectName(QStringLiteral("bar3"));
    VerInfo = item(this, "VerInfo", QStringLiteral("バージョン情報"));
    addSeparator()->setObjectName(QStringLiteral("bar4"));
    End_Program = item(this, "End_Program", QStringLiteral("Pelto の終了"));
}

QAction* TrayMenu::addSkinEntry(const QString& name) {
    QAction* entry = item(SkinMenu, "SkinList", escapeAmpersands(name), true);
    entry->setData(name);
    const int index = int(m_skinList.size());
    m_skinList.append(entry);
    connect(entry, &QAction::triggered, this, [this, entry, index] {
        // The click toggled the mark; the skin load alone sets it.
        entry->setChecked(!entry->isChecked());
        emit skinChosen(index, entry->data().toString());
    });
    return entry;
}

void TrayMenu::setSkinEntries(const QStringList& captions) {
    // Entry 0 belongs to the menu and stays; it takes the first caption.
    while (m_skinList.size() > 1)
        delete m_skinList.takeLast();
    QAction* first = m_skinList.first();
    const QString name =
        captions.isEmpty() ? QString::fromUtf16(kSkinListDesignCaption) : captions.first();
    first->setText(escapeAmpersands(name));
    first->setData(name);
    first->setChecked(false);
    for (qsizetype i = 1; i < captions.size(); ++i)
        addSkinEntry(captions[i]);
}

void TrayMenu::setCheckedEntry(int index) {
    for (int i = 0; i < m_skinList.size(); ++i)
        m_skinList[i]->setChecked(i == index);
}

QString TrayMenu::captionOf(const QAction* item) {
    return item->isSeparator()
               ? QStringLiteral("-")
               : QString(item->text()).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

} // namespace pelto
