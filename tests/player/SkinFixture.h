#pragma once

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

namespace pelto::test {

// Writes a BMP of one colour.
inline bool writeBmp(const QString& path, int w, int h, QColor color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image.save(path, "BMP");
}

// A small skin "standard" under home/skin/: a 200 × 80 background, a seek area and
// knob, information line 1 (100 pixels wide, white on black), both time boxes, and a
// power button whose section comes last so it lies on top of the surface.
inline bool writeTestSkin(const QString& home) {
    const QString folder = home + "/skin/standard/";
    if (!QDir().mkpath(folder))
        return false;
    QFile cfg(folder + "_skin.cfg");
    if (!cfg.open(QIODevice::WriteOnly))
        return false;
    cfg.write("[timebar]\r\nx,10\r\ny,60\r\n"
              "[timebar_area]\r\nx,10\r\ny,60\r\nw,120\r\nh,8\r\n"
              "[taginfo1]\r\nx,10,y,10,w,100,h,16,s,9,fc,16777215,bc,0\r\ntag,%1\r\n"
              "[tagscroll]\r\ntag, ~ \r\n"
              "[timeinfo1]\r\nx,120,y,10,w,50,h,16,fc,255\r\n"
              "[timeinfo2]\r\nx,120,y,30,w,70,h,16\r\ntext,/ \r\n"
              "[power]\r\nx,180,y,2\r\n");
    cfg.close();
    return writeBmp(folder + "main.bmp", 200, 80, Qt::darkGray) &&
           writeBmp(folder + "timebar.bmp", 8, 8, Qt::red) &&
           writeBmp(folder + "power.bmp", 12, 12, Qt::green);
}

} // namespace pelto::test
