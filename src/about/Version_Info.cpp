#include "about/Version_Info.h"

#include "about/HomePage.h"
#include "about/VersionText.h"
#include "common/GothicFont.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace pelto {

Version_Info::Version_Info(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Version_Info"));
    setWindowTitle(QStringLiteral("Pelto バージョン情報"));
    setFixedSize(kClientSize);
    QFont f = font();
    f.setFamilies(gothicFamilies());
    f.setPixelSize(12);
    setFont(f);

    QLabel* name = addLabel("Label3", QStringLiteral("Pelto"), 16, 8);
    QFont nameFont = f;
    nameFont.setBold(true);
    nameFont.setPixelSize(16);
    name->setFont(nameFont);
    name->adjustSize();
    addLabel("Label2", QStringLiteral("Ver."), 120, 8);
    addLabel("Version",
             versionCaption(PELTO_VERSION_MAJOR, PELTO_VERSION_MINOR, PELTO_VERSION_REVISION), 144,
             8);
    addLabel("Label4", QStringLiteral("作：Pelto 開発チーム"), 72, 40);
    addLabel("Label5", QStringLiteral("絵：Pelto 開発チーム"), 210, 40);
    addLabel("Label1", QStringLiteral("最新版はこちら"), 72, 64);

    // The address, cut in the middle when it is wider than its place; the whole of it
    // shows as the tip.
    const QString address = homePage();
    m_link = addLabel("Label9", QString(), 160, 64);
    m_link->setFixedWidth(206);
    m_link->setText(m_link->fontMetrics().elidedText(address, Qt::ElideMiddle, 206));
    m_link->setToolTip(address);
    QPalette blue = m_link->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    m_link->setPalette(blue);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->installEventFilter(this);

    // The licence by its short name; the tip gives it whole.
    QLabel* licence = addLabel(
        "Label6", QStringLiteral("このソフトはフリーソフトウェアです (GPL-3.0 以降)"), 72, 104);
    licence->setToolTip(QStringLiteral("GNU General Public License version 3 or later"));

    for (int n = 1; n <= 5; ++n)
        m_frames[size_t(n - 1)] = QPixmap(QStringLiteral(":/about/anime%1.png").arg(n));
    m_anime = new QLabel(this);
    m_anime->setObjectName(QStringLiteral("Anime"));
    m_anime->setGeometry(4, 32, 64, 64);
    m_anime->setPixmap(m_frames[0]);

    m_timer1.setInterval(kFrameMs);
    connect(&m_timer1, &QTimer::timeout, this, &Version_Info::Timer1_Timer);
    m_timer1.start();
}

QLabel* Version_Info::addLabel(const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

void Version_Info::showModal(QWidget* parent) {
    Version_Info box(parent);
    box.exec();
}

QString Version_Info::homePage() {
    return homePageAddress(QStringLiteral(PELTO_HOME_PAGE),
                           QCoreApplication::applicationDirPath() + u'/',
                           QStringLiteral(PELTO_INSTALLED_README));
}

void Version_Info::Timer1_Timer() {
    m_animeFrame = nextAnimeFrame(m_animeFrame);
    m_anime->setPixmap(m_frames[size_t(m_animeFrame - 1)]);
}

void Version_Info::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

bool Version_Info::eventFilter(QObject* watched, QEvent* event) {
    // A click on the address opens it (or says once that nothing could).
    if (watched == m_link && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_link->rect().contains(mouse->position().toPoint()))
            openHomePage(homePage());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pelto
