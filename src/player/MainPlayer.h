#pragma once

#include "player/PlayerView.h"
#include "player/WindowDrag.h"
#include "skin/SkinElements.h"

#include <QWidget>

#include <array>

class QKeyEvent;
class QMouseEvent;

namespace pelto {

class SkinImage;
class TextBox;

// The main player window: frameless, titled "Pelto", made only of the skinned
// elements. Bitmap elements and hit areas lie on its surface, the five text areas
// above them. It draws what the Player tells it, forwards mouse and key input as
// signals (the buttons, the bars and the keys connect to them), moves when its
// background or a text area is dragged with the left button, and reports files
// dropped anywhere on it. Closing it reports the close once (the program's owner runs
// the unload) and ends the program.
class MainPlayer : public QWidget, public PlayerView {
    Q_OBJECT
public:
    // The object name by which other parts find the main window.
    static constexpr const char* kObjectName = "MainPlayer";

    explicit MainPlayer(QWidget* parent = nullptr);
    ~MainPlayer() override;

    // The widget of a skinned element (Main2Skin never shows).
    QWidget* element(SkinElement e) const { return m_elements[size_t(e)]; }
    TextBox* textBox(SkinElement e) const;
    SkinImage* image(SkinElement e) const;

    // PlayerView
    void showNowTime(const QString& text) override;
    void showTotalTime(const QString& text) override;
    void showInfoLine(int i, const QString& text, int offsetPx, bool twice) override;
    int infoTextWidth(int i, const QString& text) const override;
    int infoBoxWidth(int i) const override;
    int seekRangeTwips() const override;
    void placeSeekKnob(int offsetTwips) override;
    std::optional<QStringList> chooseFilesToOpen(const QString& currentSong) override;
    void applySkinState(const SkinState& look) override;
    void showMainWindow() override;

signals:
    // Mouse input on a skinned element, in the element's own coordinates.
    void elementPressed(pelto::SkinElement element, QMouseEvent* event);
    void elementMoved(pelto::SkinElement element, QMouseEvent* event);
    void elementReleased(pelto::SkinElement element, QMouseEvent* event);
    // A left-button press and release on the same element, released over it.
    void elementClicked(pelto::SkinElement element);
    // Key input on the window and its text areas, once per event.
    void keyDown(QKeyEvent* event);
    void keyUp(QKeyEvent* event);
    // Local files were dropped on the window.
    void filesDropped(const QStringList& localPaths);
    // The window is closing for good (once): the program ends after the handlers.
    void closing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    SkinElement elementOf(QObject* watched) const;

    std::array<QWidget*, kSkinElementCount> m_elements{};
    WindowDrag m_drag{*this};
    int m_pressedElement = -1;
    bool m_unloaded = false;
};

} // namespace pelto
