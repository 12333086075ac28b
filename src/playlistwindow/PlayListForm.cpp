#include "playlistwindow/PlayListForm.h"

#include "common/GothicFont.h"
#include "common/Twips.h"
#include "player/ButtonPress.h"
#include "player/ControlCommands.h"
#include "player/DroppedFiles.h"
#include "player/Player.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistOperations.h"
#include "playlistwindow/FindSongForm.h"
#include "playlistwindow/FirstPlace.h"
#include "playlistwindow/PlayListView.h"
#include "playlistwindow/SaveListDialog.h"
#include "playlistwindow/StripImage.h"
#include "playlistwindow/StripLayout.h"
#include "settings/Settings.h"
#include "settings/WindowPlace.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

namespace pelto {

namespace {

// A strip button: its code, its two images' names and artwork, its place, and what
// its tool tip says it does.
struct Button {
    int code;
    const char* normal;
    const char* pressed;
    const char* art;
    StripControl place;
    const char16_t* tip;
};

constexpr Button kButtons[] = {
    {AddItemButton, "AddItemBtm", "AddItem2Btm", "add", StripControl::AddItem,
     u"プレイリストに追加する"},
    {DelItemButton, "DelItemBtm", "DelItem2Btm", "delete", StripControl::DelItem,
     u"選択した曲を削除する"},
    {UpItemButton, "UpItemBtm", "UpItem2Btm", "up", StripControl::UpItem,
     u"選択した曲を上へ移動する"},
    {DownItemButton, "DownItemBtm", "DowmItem2Btm", "down", StripControl::DownItem,
     u"選択した曲を下へ移動する"},
    {RndItemButton, "RndItemBtm", "RndItem2Btm", "shuffle", StripControl::RndItem,
     u"曲順をシャッフルする"},
    {SaveListButton, "SaveListBtm", "SaveList2Btm", "save", StripControl::SaveList,
     u"プレイリストに保存する"},
};

// The repeat images in the order of RepeatSwitch::Face.
constexpr const char* kRepeatImages[][2] = {{"RepeatBtm", "repeat"},
                                            {"Repeat2Btm", "repeat2"},
                                            {"Repeat_OnBtm", "repeat_on"},
                                            {"Repeat_On2Btm", "repeat_on2"}};

// The artwork of the strip, compiled into the program.
QImage art(const QString& name) {
    return QImage(QStringLiteral(":/playlistwindow/") + name + QStringLiteral(".png"));
}

// The colours of the border, from the outside in, matching the strip's artwork.
const QColor kFrameColors[kFrameWidth] = {QColor(0x0b, 0x0d, 0x12), QColor(0x4a, 0x54, 0x6d),
                                          QColor(0x38, 0x40, 0x55), QColor(0x16, 0x1a, 0x24)};
const QColor kTitleColor(0xff, 0xb3, 0x47);

Qt::CursorShape cursorFor(Qt::Edges edges) {
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical)
        return bool(edges & Qt::LeftEdge) == bool(edges & Qt::TopEdge) ? Qt::SizeFDiagCursor
                                                                       : Qt::SizeBDiagCursor;
    if (horizontal)
        return Qt::SizeHorCursor;
    return vertical ? Qt::SizeVerCursor : Qt::ArrowCursor;
}

} // namespace

PlayListForm::PlayListForm(PlaylistModel& playlist, Player& player, ControlCommands& commands,
                           ButtonPress& buttons)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_playlist(playlist),
      m_player(player), m_commands(commands), m_buttons(buttons), m_repeat(player, buttons) {
    m_stripBackground.setPicture(art(QStringLiteral("strip")));
    setObjectName(QStringLiteral("PlayListForm"));
    // Seen only in the desktop's lists of windows; the window shows no caption.
    setWindowTitle(QStringLiteral("プレイリスト"));
    setAcceptDrops(true);
    setMouseTracking(true);
    QFont f = font();
    f.setFamilies(gothicFamilies());
    f.setPointSize(9);
    setFont(f);
    setMinimumSize(outerSizeFor(kMinimumClientSize));
    resize(outerSizeFor(kDesignClientSize));

    buildStrip();
    m_list = new PlayListView(playlist, this);
    // The window's own cursor shows the border's sizing arrows; the list keeps its own.
    m_list->setCursor(Qt::ArrowCursor);
    connect(m_list, &PlayListView::doubleClickedAnywhere, this,
            &PlayListForm::PlayListView_DblClick);
    connect(m_list, &PlayListView::enterPressed, this, &PlayListForm::PlayListView_DblClick);
    connect(m_list, &PlayListView::deletePressed, this,
            [this] { PlaylistOperations::deleteSelected(m_playlist); });
    connect(m_list, &PlayListView::columnClicked, this, &PlayListForm::PlayListView_ColumnClick);
    for (const QKeyCombination key : {Qt::CTRL | Qt::Key_F, Qt::CTRL | Qt::Key_J})
        connect(new QShortcut(key, this), &QShortcut::activated, this,
                &PlayListForm::openFindWindow);

    // The shared button timer shows and hides this window's images for codes 10..15.
    connect(&buttons, &ButtonPress::showPressed, this, [this](int code) {
        if (StripImage* normal = normalImage(code))
            normal->hide();
    });
    connect(&buttons, &ButtonPress::endPressed, this, [this](int code) {
        if (StripImage* normal = normalImage(code))
            normal->show();
    });
    connect(&m_repeat, &RepeatSwitch::faceChanged, this, &PlayListForm::showRepeatFace);
    showRepeatFace(m_repeat.face());

    FormSet(0, 0, 0);
    m_firstPlace = new FirstPlace(*this);
}

PlayListForm::~PlayListForm() = default;

void PlayListForm::setFirstPlaceBeside(QWidget* window) {
    m_firstPlace->setBeside(window);
}

bool PlayListForm::waitsForFirstPlace() const {
    return m_firstPlace->pending();
}

void PlayListForm::buildStrip() {
    const QSize outer = size();
    m_titleBar = new QLabel(QStringLiteral("Pelto"), this);
    m_titleBar->setObjectName(QStringLiteral("TitleBar"));
    m_titleBar->setGeometry(stripControlRect(StripControl::TitleBar, outer));
    QFont titleFont = font();
    titleFont.setPixelSize(11);
    titleFont.setBold(true);
    m_titleBar->setFont(titleFont);
    QPalette titlePalette = m_titleBar->palette();
    titlePalette.setColor(QPalette::WindowText, kTitleColor);
    m_titleBar->setPalette(titlePalette);
    m_titleBar->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_titleBar->setIndent(2);

    // Each pressed image lies under its normal image, which takes the clicks.
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        const Button& b = kButtons[i];
        const QPoint place = stripControlRect(b.place, outer).topLeft();
        const QString name = QLatin1String(b.art);
        auto* pressed = new StripImage(QLatin1String(b.pressed), art(name + u'2'), this);
        auto* normal = new StripImage(QLatin1String(b.normal), art(name), this);
        for (StripImage* image : {pressed, normal}) {
            image->move(place);
            image->setToolTip(QString::fromUtf16(b.tip));
        }
        if (b.code == SaveListButton) {
            pressed->refuseDrops();
            normal->refuseDrops();
        }
        const int code = b.code;
        connect(normal, &StripImage::clicked, this, [this, code] { pressButton(code); });
        m_normal[i] = normal;
    }

    const QPoint repeatPlace = stripControlRect(StripControl::Repeat, outer).topLeft();
    for (size_t face = 0; face < m_repeatImages.size(); ++face) {
        auto* image = new StripImage(QLatin1String(kRepeatImages[face][0]),
                                     art(QLatin1String(kRepeatImages[face][1])), this);
        image->move(repeatPlace);
        image->refuseDrops();
        m_repeatImages[face] = image;
    }
    // The click target without a picture lies over the four images.
    m_repeatFace = new StripImage(QStringLiteral("RepeatBtmFace"), QImage(), this);
    m_repeatFace->setGeometry(stripControlRect(StripControl::Repeat, outer));
    m_repeatFace->refuseDrops();
    connect(m_repeatFace, &StripImage::clicked, &m_repeat, &RepeatSwitch::click);

    m_close = new StripImage(QStringLiteral("CloseBtm"), art(QStringLiteral("close")), this);
    m_close->setToolTip(QStringLiteral("プレイリストを閉じる"));
    connect(m_close, &StripImage::clicked, this, &PlayListForm::CloseBtm_Click);
}

void PlayListForm::showRepeatFace(RepeatSwitch::Face face) {
    for (size_t i = 0; i < m_repeatImages.size(); ++i)
        m_repeatImages[i]->setVisible(int(i) == int(face));
    const bool on = face == RepeatSwitch::On || face == RepeatSwitch::PressedFromOn;
    m_repeatFace->setToolTip(on ? QStringLiteral("リピート再生：オン（クリックでオフ）")
                                : QStringLiteral("リピート再生：オフ（クリックでオン）"));
}

StripImage* PlayListForm::normalImage(int code) const {
    const int i = code - kButtons[0].code;
    return i >= 0 && i < int(m_normal.size()) ? m_normal[size_t(i)] : nullptr;
}

// ---- Buttons ----

void PlayListForm::pressButton(int code) {
    // The shuffle's random numbers are seeded from the clock at the press.
    std::function<double()> uniform01;
    if (code == RndItemButton)
        uniform01 = PlaylistOperations::clockSeededUniform();
    QPointer<PlayListForm> self(this);
    m_buttons.press(code, [self, code, uniform01] {
        if (self)
            self->act(code, uniform01);
    });
}

void PlayListForm::act(int code, const std::function<double()>& uniform01) {
    PlaylistModel& list = m_playlist;
    switch (code) {
    case AddItemButton:
        return m_commands.run(Command::AddSound_PlayList);
    case DelItemButton:
        return PlaylistOperations::deleteSelected(list);
    case UpItemButton:
        return PlaylistOperations::moveUp(list);
    case DownItemButton:
        return PlaylistOperations::moveDown(list);
    case RndItemButton:
        return PlaylistOperations::shuffle(list, uniform01);
    case SaveListButton:
        return SaveListBtm_Click();
    default:
        return;
    }
}

void PlayListForm::SaveListBtm_Click() {
    if (const auto path = choosePlaylistToSave(this, m_player.DmyFileName()))
        SavePlayListFile(m_playlist, *path);
}

void PlayListForm::CloseBtm_Click() {
    m_commands.run(Command::View_PlayList);
}

void PlayListForm::showEvent(QShowEvent*) {
    emit visibilityChanged(true);
}

void PlayListForm::hideEvent(QHideEvent*) {
    // A minimised window still counts as shown.
    emit visibilityChanged(isVisible());
    // The find window goes with it, unless it shows again at once (as a change of its
    // always-on-top switch hides and shows it).
    if (m_find && !isVisible())
        QTimer::singleShot(0, m_find, [this] {
            if (!isVisible())
                m_find->hide();
        });
}

void PlayListForm::closeEvent(QCloseEvent* event) {
    // A close by the window manager (Alt+F4, a taskbar's close) only hides the window,
    // as its close button does; the program goes on.
    event->ignore();
    hide();
}

void PlayListForm::View_PlayList_Menu_Click() {
    if (isVisible()) {
        hide();
    } else {
        show();
        raise();
    }
}

// ---- The list ----

void PlayListForm::PlayListView_DblClick() {
    const PlaylistModel& list = m_playlist;
    const int focused = list.focusedRow();
    if (list.count() == 0 || focused == 0)
        return;
    m_commands.playRow(focused);
}

void PlayListForm::showRow(int n) {
    m_playlist.selectOnly(n);
    m_playlist.setFocusedRow(n);
    m_playlist.requestScrollTo(n);
}

void PlayListForm::openFindWindow() {
    if (!m_find) {
        m_find = new FindSongForm(m_playlist, this);
        connect(m_find, &FindSongForm::showRequested, this, &PlayListForm::showRow);
        // Played the way a double click plays: the row is focused first.
        connect(m_find, &FindSongForm::playRequested, this, [this](int n) {
            showRow(n);
            PlayListView_DblClick();
        });
    }
    m_find->open();
}

void PlayListForm::PlayListView_ColumnClick(int column) {
    PlaylistOperations::sortByColumn(m_playlist, column);
}

// ---- Layout ----

void PlayListForm::FormSet(int AutoResize, int Wdt, int Hgt) {
    if (FormSetFlag == 1)
        return;
    FormSetFlag = 1;
    QSize outer = size();
    if (AutoResize != 0) {
        outer = QSize(twipsToPixels(Wdt), twipsToPixels(Hgt)).expandedTo(minimumSize());
        resize(outer);
    }
    m_list->setGeometry(listRect(outer));
    m_close->move(stripControlRect(StripControl::Close, outer).topLeft());
    FormSetFlag = 0;
}

void PlayListForm::resizeEvent(QResizeEvent*) {
    if (FormSetFlag == 0)
        FormSet(0, 0, 0);
}

void PlayListForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Each ring fills all within it, the next one in over it: on a screen of a
    // fractional scale, where one-pixel lines round to one or two screen pixels, the
    // rings still meet without a gap.
    QRect ring = rect();
    for (const QColor& color : kFrameColors) {
        painter.fillRect(ring, color);
        ring.adjust(1, 1, -1, -1);
    }
    const QRect client = clientRectOf(size());
    painter.drawTiledPixmap(QRect(client.topLeft(), QSize(client.width(), kStripHeight)),
                            m_stripBackground.forRatio(painter.device()->devicePixelRatioF()));
}

// ---- Moving and resizing ----

void PlayListForm::mousePressEvent(QMouseEvent* event) {
    const Qt::Edges edges = event->button() == Qt::LeftButton
                                ? resizeEdgesAt(size(), event->position().toPoint())
                                : Qt::Edges();
    if (!edges) {
        m_drag.press(*event);
        return;
    }
    if (windowHandle() && windowHandle()->startSystemResize(edges))
        return;
    m_resizeEdges = edges;
    m_resizeStart = geometry();
    m_resizeGrab = event->globalPosition().toPoint();
}

void PlayListForm::mouseMoveEvent(QMouseEvent* event) {
    if (m_resizeEdges && event->buttons() == Qt::LeftButton) {
        setGeometry(resizedGeometry(m_resizeStart, m_resizeEdges,
                                    event->globalPosition().toPoint() - m_resizeGrab,
                                    minimumSize()));
        return;
    }
    if (event->buttons() == Qt::NoButton)
        setCursor(cursorFor(resizeEdgesAt(size(), event->position().toPoint())));
    m_drag.move(*event);
}

void PlayListForm::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_resizeEdges = {};
    m_drag.release(*event);
}

// ---- Drops ----

void PlayListForm::dragEnterEvent(QDragEnterEvent* event) {
    acceptDraggedFiles(event);
}

void PlayListForm::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    m_commands.addDroppedFiles(localFilesOf(event->mimeData()));
}

// ---- Pelto.cfg ----

void PlayListForm::applyConfig(const Settings& settings) {
    if (settings.PlayList_Size)
        FormSet(1, settings.PlayList_Size->width(), settings.PlayList_Size->height());
    if (settings.PlayList_X || settings.PlayList_Y) {
        m_firstPlace->cancel();
        const QRect now(pixelsToTwips(x()), pixelsToTwips(y()), pixelsToTwips(width()),
                        pixelsToTwips(height()));
        const QPoint place = startPlace(now, settings.PlayList_X, settings.PlayList_Y, false,
                                        ScreenLayout::ofDesktop());
        move(twipsToPixels(place.x()), twipsToPixels(place.y()));
    }
    for (size_t column = 0; column < settings.PlayListView_ItemSize.size(); ++column)
        if (const auto width = settings.PlayListView_ItemSize[column])
            m_list->setColumnWidth(int(column), qRound(*width));
    m_repeat.refresh();
}

void PlayListForm::storeConfig(Settings& settings) const {
    const QPoint place = savedPlace(pos(), ScreenLayout::ofDesktop());
    settings.PlayList_X = place.x();
    settings.PlayList_Y = place.y();
    settings.PlayList_Size = QSize(pixelsToTwips(width()), pixelsToTwips(height()));
    for (size_t column = 0; column < settings.PlayListView_ItemSize.size(); ++column) {
        auto& saved = settings.PlayListView_ItemSize[column];
        const int width = m_list->columnWidth(int(column));
        // A width the user did not change keeps the fraction it was saved with.
        if (!saved || qRound(*saved) != width)
            saved = float(width);
    }
    settings.PlayList_Visible = isVisible() ? -1 : 0;
}

} // namespace pelto
