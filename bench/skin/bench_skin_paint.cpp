// The main window with a shipped skin on a screen of the scale QT_SCALE_FACTOR gives:
// how long painting takes, for the whole window and for one tick of a playing song
// (the elapsed time and a scrolling information line), the first paint after the skin
// is applied (which enlarges the bitmaps for the scale), and the memory the enlarged
// bitmaps hold. Prints the median of many frames.
//   QT_SCALE_FACTOR=1.5 bench_skin_paint [SKIN_FOLDER]   (offscreen unless a platform is set)
#include "player/MainPlayer.h"
#include "player/SkinWidgets.h"
#include "skin/SkinReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace pelto;

namespace {

// The median time of `frames` runs of `paint`, in microseconds.
double medianMicroseconds(int frames, const std::function<void()>& paint) {
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < frames; ++i) {
        timer.start();
        paint();
        times.push_back(double(timer.nsecsElapsed()) / 1000);
    }
    std::nth_element(times.begin(), times.begin() + frames / 2, times.end());
    return times[size_t(frames / 2)];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral(PELTO_SOURCE_DIR "/skin/standard/");
    const SkinState look = readSkin(folder, initialSkinState());
    MainPlayer window;
    window.show();
    while (!window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QElapsedTimer first;
    first.start();
    window.applySkinState(look);
    window.repaint();
    const double firstMs = double(first.nsecsElapsed()) / 1e6;

    TextBox* now = window.textBox(SkinElement::NowTime);
    TextBox* line = window.textBox(SkinElement::TagInfo0);
    const QString text = QStringLiteral("朝焼けのメロディー - ペルト楽団 - はじめてのアルバム  ");
    int tick = 0;
    const double wholeUs = medianMicroseconds(300, [&] { window.repaint(); });
    const double tickUs = medianMicroseconds(300, [&] {
        ++tick;
        now->showText(QStringLiteral("%1:%2").arg(tick / 600 % 60, 2, 10, QChar(u'0'))
                          .arg(tick / 10 % 60, 2, 10, QChar(u'0')));
        line->showText(text, tick % 200, true);
        now->repaint();
        line->repaint();
    });

    qint64 bytes = 0;
    int pictures = 0;
    for (int i = 0; i < kSkinElementCount; ++i) {
        const auto e = SkinElement(i);
        const ScaledPicture& picture = window.image(e) ? window.image(e)->scaledPicture()
                                                       : window.textBox(e)->scaledPicture();
        bytes += picture.cachedBytes();
        pictures += picture.cachedBytes() > 0;
    }
    std::printf("scale %.2f, %dx%d: first paint after the skin %.2f ms; whole window %.0f us "
                "a frame; a playing tick (time and one scrolling line) %.0f us; %d bitmaps "
                "for the screen hold %.1f KiB\n",
                window.devicePixelRatioF(), window.width(), window.height(), firstMs, wholeUs,
                tickUs, pictures, double(bytes) / 1024);
    return 0;
}
