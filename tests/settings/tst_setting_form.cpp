// The settings dialog on the running program (a scripted decoder plays), offscreen:
// its layout and captions, the skin's strings shown read-only, the defaults button,
// the tabs, the playlist options that act at once, and what closing takes and redraws
// in every play state.
#include "ScriptedDecoder.h"

#include "app/Session.h"
#include "app/SettingsBridge.h"
#include "player/MainPlayer.h"
#include "settings/SettingForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace pelto;
using namespace pelto::test;

namespace {

const QString kSong = QStringLiteral("/music/song.mp3");
const QString kSongTitle = QStringLiteral("Song Title");

// The running program with the standard skin; its song plays until the test changes
// the play state.
struct Program {
    QTemporaryDir home;
    std::unique_ptr<Session> session;
    ScriptedDecoder* decoder = nullptr;

    Program() {
        qputenv("PELTO_HOME", home.path().toLocal8Bit());
        QFile::link(QStringLiteral(PELTO_BINARY_DIR "/skin"), home.filePath("skin"));
        session = std::make_unique<Session>();
        session->start(kSong, [this] {
            auto d = std::make_unique<ScriptedDecoder>();
            d->addSong(kSong, 200, kSongTitle);
            decoder = d.get();
            return std::unique_ptr<Decoder>(std::move(d));
        });
    }
    Player& player() { return session->player(); }
    InfoDisplay& display() { return session->logic().display; }
    Settings& settings() { return session->settings(); }
    void setPlayState(PlayState state) {
        if (state == PlayState::Paused)
            player().PlayPause();
        else if (state == PlayState::Stopped)
            player().PlayStop();
    }
};

// The program's own dialog host, counting the redraws it is asked for.
struct CountingHost : SettingFormHost {
    SettingFormHost& real;
    int redraws = 0;
    explicit CountingHost(SettingFormHost& r) : real(r) {}
    std::array<QString, 3> SkinTagInfo() const override { return real.SkinTagInfo(); }
    QString SkinTagScroll() const override { return real.SkinTagScroll(); }
    int PlayState() const override { return real.PlayState(); }
    void redrawInfoLines() override {
        ++redraws;
        real.redrawInfoLines();
    }
};

QStringList boxTexts(const SettingForm& form) {
    QStringList texts;
    for (int i = 0; i < 3; ++i)
        texts << form.InfoText(i)->text();
    return texts << form.InfoScrollText()->text();
}

bool boxesEnabled(const SettingForm& form) {
    bool all = true, none = true;
    for (int i = 0; i < 3; ++i) {
        all &= form.InfoText(i)->isEnabled();
        none &= !form.InfoText(i)->isEnabled();
    }
    all &= form.InfoScrollText()->isEnabled();
    none &= !form.InfoScrollText()->isEnabled();
    QTEST_ASSERT(all || none);
    return all;
}

QStringList userTexts(const Settings& s) {
    return {s.TagInfo1, s.TagInfo2, s.TagInfo3, s.TagInfoScroll};
}

void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

void clickTab(const SettingForm& form, int index) {
    QTabBar* bar = form.SettingTabStrip()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}

enum class Action { None, Uncheck, Check, Defaults, Type, TypeCheckUncheck };
enum class CloseBy { CloseButton, Escape };

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(CloseBy)

class TestSettingForm : public QObject {
    Q_OBJECT
private slots:
    void layoutAndCaptions();
    void closing_data();
    void closing();
    void nextSongShowsAFormatChangedWhileStopped();
    void tabs();
    void playlistOptionsActAtOnce();
    void greyedValues();
    void opensModallyFromTheProgram();
};

void TestSettingForm::layoutAndCaptions() {
    Program p;
    CountingHost host(p.session->settingsBridge());
    SettingForm form(p.settings(), host);
    form.show();
    QCOMPARE(form.windowTitle(), QString("Pelto 設定"));
    QCOMPARE(form.size(), QSize(449, 361));
    QCOMPARE(form.SettingTabStrip()->geometry(), QRect(8, 8, 433, 345));
    QCOMPARE(form.SettingTabStrip()->tabText(0), QString("表示する曲情報"));
    QCOMPARE(form.SettingTabStrip()->tabText(1), QString("プレイリスト"));
    for (int i = 0; i < 2; ++i)
        QCOMPARE(form.SettingFrame(i)->geometry(), QRect(16, 32, 417, 313));
    QCOMPARE(form.SettingFrame(0)->accessibleName(), QString("表示する曲情報"));
    QCOMPARE(form.SettingFrame(1)->accessibleName(), QString("プレイリストの処理"));
    QVERIFY(form.SettingFrame(0)->isVisible() && !form.SettingFrame(1)->isVisible());
    QCOMPARE(form.ShownTabIndex(), 1);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(form.InfoText(i)->geometry(), QRect(8, 24 + 40 * i, 329, 18));
    QCOMPARE(form.InfoScrollText()->geometry(), QRect(8, 144, 329, 18));
    QCOMPARE(form.DfltBtm()->geometry(), QRect(344, 144, 65, 20));
    QCOMPARE(form.DfltBtm()->text(), QString("デフォルト"));
    QCOMPARE(form.SkinDefaultCheck()->geometry(), QRect(8, 168, 201, 17));
    QCOMPARE(form.SkinDefaultCheck()->text(), QString("スキンが設定したタグ情報にする"));
    QCOMPARE(form.SavePlayListCheck()->geometry(), QRect(8, 8, 321, 17));
    QCOMPARE(form.SavePlayListCheck()->text(),
             QString("終了時にプレイリストに保存して次回起動時に読み込む"));
    QCOMPARE(form.PlayListAutoScrollCheck()->geometry(), QRect(8, 32, 321, 17));
    QCOMPARE(form.PlayListAutoScrollCheck()->text(),
             QString("曲の再生でプレイリストを自動でスクロールさせる"));

    // The labels of the first frame, and the reference card by place.
    auto labelAt = [](QWidget* parent, QPoint place) {
        for (QLabel* l : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (l->pos() == place)
                return l->text();
        return QString("<none>");
    };
    QWidget* frame = form.SettingFrame(0);
    QCOMPARE(labelAt(frame, {8, 8}), QString("1行目"));
    QCOMPARE(labelAt(frame, {8, 48}), QString("2行目"));
    QCOMPARE(labelAt(frame, {8, 88}), QString("3行目"));
    QCOMPARE(labelAt(frame, {8, 128}), QString("スクロール時最後に追加する文字(コマンド使用不可)"));
    auto* card = frame->findChild<QGroupBox*>("Frame1");
    QVERIFY(card);
    QCOMPARE(card->title(), QString("コマンド一覧"));
    QCOMPARE(card->geometry(), QRect(8, 192, 401, 113));
    const QStringList rows[] = {
        {"ID3 TAG", "ID3v2/RIFF SIF", "その他", "特殊コマンド"},
        {"%1 - ﾀｲﾄﾙ", "%a - ﾀｲﾄﾙ", "%g - ﾌｧｲﾙ名", "%+(A,B)"},
        {"%2 - ｱｰﾃｨｽﾄ", "%b - ｱｰﾃｨｽﾄ", "%h - 曲の時間", "", "Aが\"\"ならBを表示"},
        {"%3 - ｱﾙﾊﾞﾑ", "%c - ｱﾙﾊﾞﾑ", "<none>", "", "Aが\"\"以外ならAを表示"},
        {"%4 - ｺﾒﾝﾄ", "%d - ｺﾒﾝﾄ", "<none>", "%-(A,B)"},
        {"%5 - 作成日", "%e - 作成日", "<none>", "", "Aが\"\"以外ならBを表示"},
        {"%6 - ｼﾞｬﾝﾙ", "%f - ｼﾞｬﾝﾙ", "<none>", "", "Aが\"\"なら表示しない"},
    };
    const int tops[] = {16, 32, 44, 56, 68, 80, 92};
    const int lefts[] = {8, 80, 184, 264, 272};
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < rows[row].size(); ++column)
            if (!rows[row][column].isEmpty())
                QCOMPARE(labelAt(card, {lefts[column], tops[row]}), rows[row][column]);
    QCOMPARE(card->findChildren<QLabel*>().size(), 24);

    // Japanese text in the installed Gothic face.
    QCOMPARE(QFontInfo(card->findChildren<QLabel*>().first()->font()).family(),
             QString("IPAexGothic"));
}

void TestSettingForm::closing_data() {
    QTest::addColumn<int>("useSkinTag");
    QTest::addColumn<int>("playState");
    QTest::addColumn<Action>("action");
    QTest::addColumn<CloseBy>("closeBy");
    QTest::addColumn<QStringList>("formats"); // TagInfo1..3 and TagInfoScroll after closing
    QTest::addColumn<int>("useSkinTagAfter");
    QTest::addColumn<int>("redraws");

    const QString line3 = "%4%-(%4,%-(%3, - ))%3";
    const QStringList user{"[%1]", "%2", line3, " ~ "};
    const QStringList defaults{"%1", "%2", line3, " - "};
    const QStringList typed{"<%1>", "%2", line3, " ~ "};
    using A = Action;
    const auto C = CloseBy::CloseButton;
    const auto E = CloseBy::Escape;
    QTest::newRow("skin's strings: shown, not taken") << 1 << 1 << A::None << C << user << 1 << 0;
    QTest::newRow("unchecked while playing: the user's strings redraw")
        << 1 << 1 << A::Uncheck << C << user << 0 << 1;
    QTest::newRow("unchecked while paused: redrawn") << 1 << 2 << A::Uncheck << E << user << 0 << 1;
    QTest::newRow("unchecked while stopped: nothing redrawn")
        << 1 << 0 << A::Uncheck << C << user << 0 << 0;
    QTest::newRow("checked: the skin's strings redraw, the user's stay")
        << 0 << 1 << A::Check << E << user << 1 << 1;
    QTest::newRow("defaults button") << 1 << 1 << A::Defaults << C << defaults << 0 << 1;
    QTest::newRow("no change: the settings are copied, nothing redrawn")
        << 0 << 1 << A::None << E << user << 0 << 0;
    QTest::newRow("typed while playing") << 0 << 1 << A::Type << C << typed << 0 << 1;
    QTest::newRow("typed while stopped: taken, not redrawn")
        << 0 << 0 << A::Type << E << typed << 0 << 0;
    QTest::newRow("typed, then checked and unchecked: the typing is lost")
        << 0 << 1 << A::TypeCheckUncheck << C << user << 0 << 0;
}

void TestSettingForm::closing() {
    QFETCH(int, useSkinTag);
    QFETCH(int, playState);
    QFETCH(Action, action);
    QFETCH(CloseBy, closeBy);
    QFETCH(QStringList, formats);
    QFETCH(int, useSkinTagAfter);
    QFETCH(int, redraws);

    Program p;
    QCOMPARE(p.player().PlayState(), PlayState::Playing);
    p.decoder->advance(30);
    p.display().Timer_Sec();
    Settings& s = p.settings();
    s.TagInfo1 = "[%1]";
    s.TagInfoScroll = " ~ ";
    s.UseSkinTag = std::uint8_t(useSkinTag);
    p.display().BuildInfoLines();
    p.setPlayState(PlayState(playState));
    const QString lineBefore = p.display().TagInfoData(0);
    const QStringList skin = {p.display().SkinTagInfo()[0], p.display().SkinTagInfo()[1],
                              p.display().SkinTagInfo()[2], p.display().SkinTagScroll()};
    QVERIFY(skin != userTexts(s));

    CountingHost host(p.session->settingsBridge());
    SettingForm form(s, host);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Loading shows the skin's strings, read-only, or the user's, editable.
    QCOMPARE(boxTexts(form), useSkinTag ? skin : userTexts(s));
    QCOMPARE(boxesEnabled(form), useSkinTag == 0);
    QCOMPARE(form.SkinDefaultCheck()->isChecked(), useSkinTag == 1);

    auto type = [&] {
        form.InfoText(0)->selectAll();
        QTest::keyClicks(form.InfoText(0), "<%1>");
    };
    switch (action) {
    case Action::None:
        break;
    case Action::Uncheck:
    case Action::Check:
        click(form.SkinDefaultCheck());
        QCOMPARE(s.UseSkinTag, useSkinTagAfter); // at once
        QCOMPARE(boxTexts(form), action == Action::Check ? skin : userTexts(s));
        QCOMPARE(boxesEnabled(form), action == Action::Uncheck);
        break;
    case Action::Defaults:
        click(form.DfltBtm());
        QVERIFY(!form.SkinDefaultCheck()->isChecked());
        QVERIFY(boxesEnabled(form));
        QCOMPARE(s.UseSkinTag, 0);
        QCOMPARE(s.TagInfo1, "[%1]"); // taken only when closing
        break;
    case Action::Type:
        type();
        break;
    case Action::TypeCheckUncheck:
        type();
        click(form.SkinDefaultCheck());
        click(form.SkinDefaultCheck());
        QCOMPARE(boxTexts(form), userTexts(s));
        break;
    }

    if (closeBy == CloseBy::Escape)
        QTest::keyClick(&form, Qt::Key_Escape);
    else
        form.close();
    QVERIFY(!form.isVisible());

    QCOMPARE(userTexts(s), formats);
    QCOMPARE(s.UseSkinTag, useSkinTagAfter);
    QCOMPARE(host.redraws, redraws);
    const QString lineAfter = p.display().TagInfoData(0);
    if (redraws == 0) {
        QCOMPARE(lineAfter, lineBefore);
    } else {
        // The line as the new formats give it, at its left edge, the knob redrawn.
        QCOMPARE(lineAfter, useSkinTagAfter ? kSongTitle : formats[0].replace("%1", kSongTitle));
        QCOMPARE(p.display().ScrollWait(), 0);
        QCOMPARE(p.player().PlayPosSec(), 30);
        QCOMPARE(int(p.player().PlayState()), playState);
    }
}

void TestSettingForm::nextSongShowsAFormatChangedWhileStopped() {
    Program p;
    p.settings().UseSkinTag = 0;
    p.player().PlayStop();
    CountingHost host(p.session->settingsBridge());
    {
        SettingForm form(p.settings(), host);
        form.show();
        form.InfoText(0)->setText("<%1>");
        form.close();
    }
    QCOMPARE(host.redraws, 0);
    QCOMPARE(p.display().TagInfoData(0), kSongTitle);
    p.player().Play();
    QCOMPARE(p.display().TagInfoData(0), "<" + kSongTitle + ">");
}

void TestSettingForm::tabs() {
    Program p;
    CountingHost host(p.session->settingsBridge());
    SettingForm form(p.settings(), host);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    clickTab(form, 1);
    QCOMPARE(form.ShownTabIndex(), 2);
    QVERIFY(!form.SettingFrame(0)->isVisible() && form.SettingFrame(1)->isVisible());
    clickTab(form, 1); // the tab already shown
    QCOMPARE(form.ShownTabIndex(), 2);
    QVERIFY(!form.SettingFrame(0)->isVisible() && form.SettingFrame(1)->isVisible());
    clickTab(form, 0);
    QCOMPARE(form.ShownTabIndex(), 1);
    QVERIFY(form.SettingFrame(0)->isVisible() && !form.SettingFrame(1)->isVisible());
    form.close();
}

void TestSettingForm::playlistOptionsActAtOnce() {
    Program p;
    Settings& s = p.settings();
    s.SavePlayList = 1;
    s.AutoScrollPlayList = 0;
    CountingHost host(p.session->settingsBridge());
    SettingForm form(s, host);
    form.show();
    clickTab(form, 1);
    QVERIFY(form.SavePlayListCheck()->isChecked());
    QVERIFY(!form.PlayListAutoScrollCheck()->isChecked());
    click(form.SavePlayListCheck());
    click(form.PlayListAutoScrollCheck());
    QCOMPARE(s.SavePlayList, 0);
    QCOMPARE(s.AutoScrollPlayList, 1);
    click(form.SavePlayListCheck());
    QCOMPARE(s.SavePlayList, 1);
    form.close();
    QCOMPARE(host.redraws, 0);
}

void TestSettingForm::greyedValues() {
    // Values other than 0 and 1 show as greyed boxes; a greyed SkinDefaultCheck shows
    // the skin's strings.
    Program p;
    Settings& s = p.settings();
    s.UseSkinTag = 2;
    s.SavePlayList = 2;
    CountingHost host(p.session->settingsBridge());
    SettingForm form(s, host);
    QCOMPARE(form.SkinDefaultCheck()->checkState(), Qt::PartiallyChecked);
    QVERIFY(!boxesEnabled(form));
    QCOMPARE(form.InfoText(0)->text(), p.display().SkinTagInfo()[0]);
    QCOMPARE(form.SavePlayListCheck()->checkState(), Qt::PartiallyChecked);
    form.close();
    QCOMPARE(s.UseSkinTag, 2);
    QCOMPARE(s.SavePlayList, 2);
}

void TestSettingForm::opensModallyFromTheProgram() {
    Program p;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<SettingForm*>(QApplication::activeModalWidget());
        modal = form && form->isModal() && form->parentWidget() == &p.session->mainWindow();
        if (form) {
            form->InfoText(0)->setText("x");
            form->close();
        }
    });
    p.settings().UseSkinTag = 0;
    p.session->settingsBridge().showSettingForm();
    QVERIFY(modal);
    QCOMPARE(p.settings().TagInfo1, "x");
    QCOMPARE(p.display().TagInfoData(0), "x");
}

QTEST_MAIN(TestSettingForm)
#include "tst_setting_form.moc"
