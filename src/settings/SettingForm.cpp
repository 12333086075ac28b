#include "settings/SettingForm.h"

#include "common/GothicFont.h"
#include "settings/SettingFormHost.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace pelto {

namespace {

// The dialog's client area, in pixels.
constexpr QSize kClientSize{449, 361};
constexpr QRect kTabStrip{8, 8, 433, 345};
constexpr QRect kFrame{16, 32, 417, 313};

// The reference card of the format commands: seven rows of four columns.
constexpr int kCardLefts[] = {8, 80, 184, 264};
// The descriptions of the special commands stand a little to the right of them.
constexpr int kCardDescriptionLeft = 272;
constexpr int kCardTops[] = {16, 32, 44, 56, 68, 80, 92};
const char* const kCard[7][4] = {
    {"ID3 TAG", "ID3v2/RIFF SIF", "その他", "特殊コマンド"},
    {"%1 - ﾀｲﾄﾙ", "%a - ﾀｲﾄﾙ", "%g - ﾌｧｲﾙ名", "%+(A,B)"},
    {"%2 - ｱｰﾃｨｽﾄ", "%b - ｱｰﾃｨｽﾄ", "%h - 曲の時間", "Aが\"\"ならBを表示"},
    {"%3 - ｱﾙﾊﾞﾑ", "%c - ｱﾙﾊﾞﾑ", nullptr, "Aが\"\"以外ならAを表示"},
    {"%4 - ｺﾒﾝﾄ", "%d - ｺﾒﾝﾄ", nullptr, "%-(A,B)"},
    {"%5 - 作成日", "%e - 作成日", nullptr, "Aが\"\"以外ならBを表示"},
    {"%6 - ｼﾞｬﾝﾙ", "%f - ｼﾞｬﾝﾙ", nullptr, "Aが\"\"なら表示しない"},
};

// The user's three formats and separator, in the order of the four text boxes.
QStringList userTexts(const Settings& s) {
    return {s.TagInfo1, s.TagInfo2, s.TagInfo3, s.TagInfoScroll};
}

bool isSpecialDescription(int row, int column) {
    return column == 3 && row != 0 && row != 1 && row != 4;
}

QLabel* label(const char* text, int x, int y, QWidget* parent, const QString& name = {}) {
    auto* l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(name);
    // Under a style sheet (the command card's) a label does not take its parent's font
    // by itself.
    l->setFont(parent->font());
    l->move(x, y);
    l->adjustSize();
    return l;
}

QCheckBox* checkBox(const char* text, const QRect& place, QWidget* parent, const char* name) {
    auto* box = new QCheckBox(QString::fromUtf8(text), parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(place);
    return box;
}

// A setting held in a byte as a check box shows it: 0 unchecked, 1 checked, any other
// value greyed.
Qt::CheckState checkStateOf(std::uint8_t value) {
    return value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked;
}
std::uint8_t valueOf(Qt::CheckState state) {
    return state == Qt::Unchecked ? 0 : state == Qt::Checked ? 1 : 2;
}

} // namespace

SettingForm::SettingForm(Settings& settings, SettingFormHost& host, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint),
      m_settings(settings), m_host(host), m_tabs(new QTabWidget(this)) {
    setObjectName(QStringLiteral("SettingForm"));
    setWindowTitle(QStringLiteral("Pelto 設定"));
    setFixedSize(kClientSize);
    setModal(true);
    QFont f = font();
    f.setFamilies(gothicFamilies());
    f.setPixelSize(12);
    setFont(f);

    m_tabs->setObjectName(QStringLiteral("SettingTabStrip"));
    m_tabs->setGeometry(kTabStrip);
    // The tabs only choose which frame shows; the frames lie over the strip's body.
    m_tabs->addTab(new QWidget, QStringLiteral("表示する曲情報"));
    m_tabs->addTab(new QWidget, QStringLiteral("プレイリスト"));
    m_frames = {buildInfoFrame(), buildPlaylistFrame()};

    // Loading.
    m_shownTabIndex = 1;
    for (QWidget* frame : m_frames) {
        frame->setGeometry(kFrame);
        frame->raise();
    }
    m_frames[0]->show();
    m_frames[1]->hide();
    m_skinCheck->setCheckState(checkStateOf(m_settings.UseSkinTag));
    SkinDefaultCheck_Click();
    m_initialInfoText = shownTexts();
    m_savePlayList->setCheckState(checkStateOf(m_settings.SavePlayList));
    m_autoScroll->setCheckState(checkStateOf(m_settings.AutoScrollPlayList));

    connect(m_tabs, &QTabWidget::currentChanged, this,
            [this](int index) { SettingTabStrip_Click(index + 1); });
    connect(m_skinCheck, &QCheckBox::clicked, this, &SettingForm::SkinDefaultCheck_Click);
    connect(m_defaults, &QPushButton::clicked, this, &SettingForm::DfltBtm_Click);
    // An unchecked box turns its setting off, a checked one on; a greyed one leaves it.
    auto follow = [](QCheckBox* box, std::uint8_t& setting) {
        connect(box, &QCheckBox::clicked, box, [box, &setting] {
            if (box->checkState() != Qt::PartiallyChecked)
                setting = valueOf(box->checkState());
        });
    };
    follow(m_savePlayList, m_settings.SavePlayList);
    follow(m_autoScroll, m_settings.AutoScrollPlayList);
}

QWidget* SettingForm::buildInfoFrame() {
    // The frame's caption is kept for its name only: the frames show without border.
    auto* frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("SettingFrame(0)"));
    frame->setAccessibleName(QStringLiteral("表示する曲情報"));
    const char* const lines[] = {"1行目", "2行目", "3行目"};
    for (int i = 0; i < 3; ++i) {
        label(lines[i], 8, 8 + 40 * i, frame, QStringLiteral("Label1(%1)").arg(i));
        m_infoText[size_t(i)] = new QLineEdit(frame);
        m_infoText[size_t(i)]->setObjectName(QStringLiteral("InfoText(%1)").arg(i));
        m_infoText[size_t(i)]->setGeometry(8, 24 + 40 * i, 329, 18);
    }
    label("スクロール時最後に追加する文字(コマンド使用不可)", 8, 128, frame,
          QStringLiteral("Label23"));
    m_infoText[3] = new QLineEdit(frame);
    m_infoText[3]->setObjectName(QStringLiteral("InfoScrollText"));
    m_infoText[3]->setGeometry(8, 144, 329, 18);
    m_defaults = new QPushButton(QStringLiteral("デフォルト"), frame);
    m_defaults->setObjectName(QStringLiteral("DfltBtm"));
    m_defaults->setGeometry(344, 144, 65, 20);
    m_defaults->setAutoDefault(false);
    m_skinCheck = checkBox("スキンが設定したタグ情報にする", QRect(8, 168, 201, 17), frame,
                           "SkinDefaultCheck");

    auto* card = new QGroupBox(QStringLiteral("コマンド一覧"), frame);
    card->setObjectName(QStringLiteral("Frame1"));
    card->setGeometry(8, 192, 401, 113);
    // The caption sits on the frame's top line, so the first row of the card fits
    // below it.
    card->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 4; ++column)
            if (const char* text = kCard[row][column])
                label(text,
                      isSpecialDescription(row, column) ? kCardDescriptionLeft : kCardLefts[column],
                      kCardTops[row], card);
    return frame;
}

QWidget* SettingForm::buildPlaylistFrame() {
    auto* frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("SettingFrame(1)"));
    frame->setAccessibleName(QStringLiteral("プレイリストの処理"));
    m_savePlayList = checkBox("終了時にプレイリストに保存して次回起動時に読み込む",
                              QRect(8, 8, 321, 17), frame, "SavePlayListCheck");
    m_autoScroll = checkBox("曲の再生でプレイリストを自動でスクロールさせる", QRect(8, 32, 321, 17),
                            frame, "PlayListAutoScrollCheck");
    return frame;
}

void SettingForm::showModal(Settings& settings, SettingFormHost& host, QWidget* parent) {
    SettingForm form(settings, host, parent);
    form.exec();
}

QStringList SettingForm::shownTexts() const {
    QStringList texts;
    for (const QLineEdit* box : m_infoText)
        texts << box->text();
    return texts;
}

void SettingForm::showTexts(const QStringList& texts, bool enabled) {
    for (size_t i = 0; i < m_infoText.size(); ++i) {
        m_infoText[i]->setText(texts[qsizetype(i)]);
        m_infoText[i]->setEnabled(enabled);
    }
}

void SettingForm::SkinDefaultCheck_Click() {
    if (m_skinCheck->checkState() == Qt::Unchecked) {
        showTexts(userTexts(m_settings), true);
    } else {
        const auto skin = m_host.SkinTagInfo();
        showTexts({skin[0], skin[1], skin[2], m_host.SkinTagScroll()}, false);
    }
    m_settings.UseSkinTag = valueOf(m_skinCheck->checkState());
}

void SettingForm::DfltBtm_Click() {
    if (m_skinCheck->checkState() != Qt::Unchecked) {
        m_skinCheck->setCheckState(Qt::Unchecked);
        SkinDefaultCheck_Click();
    }
    m_settings.UseSkinTag = 0;
    showTexts(userTexts(Settings()), true);
}

void SettingForm::SettingTabStrip_Click(int n) {
    if (n == m_shownTabIndex)
        return;
    m_frames[size_t(m_shownTabIndex - 1)]->hide();
    m_shownTabIndex = n;
    m_frames[size_t(n - 1)]->show();
}

void SettingForm::done(int result) {
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void SettingForm::Form_Unload() {
    const QStringList texts = shownTexts();
    if (m_settings.UseSkinTag == 0) {
        m_settings.TagInfo1 = texts[0];
        m_settings.TagInfo2 = texts[1];
        m_settings.TagInfo3 = texts[2];
        m_settings.TagInfoScroll = texts[3];
    }
    if (texts != m_initialInfoText && m_host.PlayState() != 0)
        m_host.redrawInfoLines();
}

} // namespace pelto
