#pragma once

#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include <array>

class QLabel;

namespace pelto {

// The about box, "Pelto バージョン情報": the program's name and version, two credit
// lines, a link to the project's home page, a line saying the software is free, and a
// small animation of five frames, one every 150 ms, from the first frame on every
// opening. Any key closes it.
class Version_Info : public QDialog {
    Q_OBJECT
public:
    // The client area's size in pixels.
    static constexpr QSize kClientSize{378, 119};
    // The animation's interval in milliseconds.
    static constexpr int kFrameMs = 150;

    explicit Version_Info(QWidget* parent = nullptr);

    // Opens a new about box modally and discards it when it closes.
    static void showModal(QWidget* parent = nullptr);

    // The home page's address the link opens.
    static QString homePage();

    // The animation counter: 0 after loading, then 1 to 5.
    int AnimeFrame() const { return m_animeFrame; }
    // The frame pictures, Image1 to Image5.
    const QPixmap& frameImage(int number) const { return m_frames[size_t(number - 1)]; }
    // A tick of Timer1: the next frame.
    void Timer1_Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addLabel(const char* name, const QString& text, int x, int y);

    std::array<QPixmap, 5> m_frames;
    QLabel* m_anime = nullptr;
    QLabel* m_link = nullptr;
    QTimer m_timer1;
    int m_animeFrame = 0;
};

} // namespace pelto
