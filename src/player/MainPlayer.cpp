#include "player/MainPlayer.h"

#include "common/GothicFont.h"
#include "common/Twips.h"
#include "player/DroppedFiles.h"
#include "player/SeekKnob.h"
#include "player/SkinWidgets.h"
#include "player/SoundFileDialog.h"
#include "skin/SkinState.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace pelto {

namespace {

bool isPressedImage(SkinElement e) {
    switch (e) {
    case SkinElement::Power2Skin:
    case SkinElement::Back2Skin:
    case SkinElement::Play2Skin:
    case SkinElement::Pause2Skin:
    case SkinElement::Stop2Skin:
    case SkinElement::Next2Skin:
    case SkinElement::Open2Skin:
    case SkinElement::PlayList2Skin:
        return true;
    default:
        return false;
    }
}

// Pressing and dragging these moves the window.
bool movesWindow(SkinElement e) {
    return e == SkinElement::MainSkin || isTextArea(e);
}

} // namespace

MainPlayer::MainPlayer(QWidget* parent) : QWidget(parent, Qt::FramelessWindowHint) {
    setObjectName(QLatin1String(kObjectName));
    setWindowTitle(QStringLiteral("Pelto"));
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    QFont f = font();
    f.setFamilies(gothicFamilies());
    f.setPointSize(9);
    setFont(f);
    // Until a skin is applied the window is 6 × 6 pixels.
    resize(6, 6);

    for (int i = 0; i < kSkinElementCount; ++i) {
        const auto e = SkinElement(i);
        QWidget* w = isTextArea(e) ? static_cast<QWidget*>(new TextBox(this))
                                   : static_cast<QWidget*>(new SkinImage(this));
        w->setObjectName(skinElementName(e));
        w->setGeometry(-10, -10, 1, 1);
        w->installEventFilter(this);
        if (isHitArea(e))
            w->setMouseTracking(true);
        if (e == SkinElement::Main2Skin || isPressedImage(e))
            w->hide();
        m_elements[size_t(i)] = w;
    }
    element(SkinElement::MainSkin)->move(0, 0);
}

MainPlayer::~MainPlayer() = default;

TextBox* MainPlayer::textBox(SkinElement e) const {
    return isTextArea(e) ? static_cast<TextBox*>(element(e)) : nullptr;
}

SkinImage* MainPlayer::image(SkinElement e) const {
    return isTextArea(e) ? nullptr : static_cast<SkinImage*>(element(e));
}

// ---- PlayerView ----

void MainPlayer::showNowTime(const QString& text) {
    textBox(SkinElement::NowTime)->showText(text);
}

void MainPlayer::showTotalTime(const QString& text) {
    textBox(SkinElement::TotalTime)->showText(text);
}

void MainPlayer::showInfoLine(int i, const QString& text, int offsetPx, bool twice) {
    textBox(tagInfoElement(i))->showText(text, offsetPx, twice);
}

int MainPlayer::infoTextWidth(int i, const QString& text) const {
    return textBox(tagInfoElement(i))->textWidth(text);
}

int MainPlayer::infoBoxWidth(int i) const {
    return element(tagInfoElement(i))->width();
}

int MainPlayer::seekRangeTwips() const {
    return SeekKnob::range(element(SkinElement::ChangeTime)->width(),
                           element(SkinElement::TimeBarSkin)->width());
}

void MainPlayer::placeSeekKnob(int offsetTwips) {
    QWidget* knob = element(SkinElement::TimeBarSkin);
    knob->move(element(SkinElement::ChangeTime)->x() + twipsToPixels(offsetTwips), knob->y());
}

std::optional<QStringList> MainPlayer::chooseFilesToOpen(const QString& currentSong) {
    return chooseSoundFiles(this, QStringLiteral("ファイルを開く"), currentSong);
}

void MainPlayer::applySkinState(const SkinState& look) {
    for (int i = 0; i < kSkinElementCount; ++i) {
        const auto e = SkinElement(i);
        const SkinElementState& s = look[e];
        QWidget* w = element(e);
        w->setGeometry(s.geometry);
        if (TextBox* box = textBox(e)) {
            const SkinTextStyle& style = look.style(e);
            box->setStyle(style.fontSize, colorFromSkinRgb(style.foreColor),
                          colorFromSkinRgb(style.backColor));
            box->setPicture(s.picture);
        } else {
            image(e)->setPicture(s.picture);
        }
    }
    // Raising in order from the bottom leaves the last-raised element on top; the
    // text layer is raised after the surface so it lies above all of it.
    for (SkinElement e : look.surfaceOrder)
        element(e)->raise();
    for (SkinElement e : look.textOrder)
        element(e)->raise();
    setFixedSize(look.windowSize());
}

void MainPlayer::showMainWindow() {
    show();
    raise();
}

// ---- Input ----

SkinElement MainPlayer::elementOf(QObject* watched) const {
    for (int i = 0; i < kSkinElementCount; ++i)
        if (m_elements[size_t(i)] == watched)
            return SkinElement(i);
    return SkinElement::Count;
}

bool MainPlayer::eventFilter(QObject* watched, QEvent* event) {
    const SkinElement e = elementOf(watched);
    if (e == SkinElement::Count)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(event);
        m_pressedElement = me->button() == Qt::LeftButton ? int(e) : -1;
        if (movesWindow(e))
            m_drag.press(*me);
        emit elementPressed(e, me);
        return true;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (movesWindow(e))
            m_drag.move(*me);
        emit elementMoved(e, me);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        const bool click =
            me->button() == Qt::LeftButton && m_pressedElement == int(e) &&
            static_cast<QWidget*>(watched)->rect().contains(me->position().toPoint());
        m_drag.release(*me);
        if (me->button() == Qt::LeftButton)
            m_pressedElement = -1;
        emit elementReleased(e, me);
        if (click)
            emit elementClicked(e);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        // The second press of a double click is not a press of its own: a double
        // click on a button acts once.
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void MainPlayer::keyPressEvent(QKeyEvent* event) {
    emit keyDown(event);
}

void MainPlayer::keyReleaseEvent(QKeyEvent* event) {
    emit keyUp(event);
}

void MainPlayer::dragEnterEvent(QDragEnterEvent* event) {
    acceptDraggedFiles(event);
}

void MainPlayer::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit filesDropped(localFilesOf(event->mimeData()));
}

void MainPlayer::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_unloaded)
        return;
    m_unloaded = true;
    emit closing();
    QCoreApplication::quit();
}

} // namespace pelto
