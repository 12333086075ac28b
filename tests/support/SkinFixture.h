#pragma once

// Skins made on the fly for tests: bitmaps of one colour, a skin folder of chosen
// files in a temporary folder, and a small complete skin "standard" under a home.
#include "TestFiles.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

namespace pelto::test {

// Writes a 24-bit Windows bitmap filled with one colour; false when it cannot be saved.
inline bool writeBmp(const QString& path, int w, int h, QColor colour = Qt::red) {
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return image.save(path, "BMP");
}

// A skin folder "test" under a temporary program folder of its own.
class SkinFixture {
public:
    SkinFixture() : m_folder(m_dir.path() + QStringLiteral("/skin/test/")) {
        QDir().mkpath(m_folder);
    }

    QString programFolder() const { return m_dir.path() + u'/'; }
    QString folder() const { return m_folder; }

    void bitmap(const QString& name, int w, int h, QColor colour = Qt::red) const {
        writeBmp(m_folder + name, w, h, colour);
    }

    void file(const QString& name, const QByteArray& bytes) const {
        writeFile(m_folder + name, bytes);
    }

    void config(const QByteArray& bytes) const { file(QStringLiteral("_skin.cfg"), bytes); }

    // Another skin folder beside this one.
    QString sibling(const QString& name) const {
        const QString path = m_dir.path() + QStringLiteral("/skin/") + name + u'/';
        QDir().mkpath(path);
        return path;
    }

private:
    QTemporaryDir m_dir;
    QString m_folder;
};

// A small skin "standard" under home/skin/: a 200 × 80 background, a seek area and
// knob, information line 1 (100 pixels wide, white on black), both time boxes, and a
// power button whose section comes last so it lies on top of the surface.
inline bool writeTestSkin(const QString& home) {
    const QString folder = home + "/skin/standard/";
    return QDir().mkpath(folder) &&
           writeFile(folder + "_skin.cfg",
                     "[timebar]\r\nx,10\r\ny,60\r\n"
                     "[timebar_area]\r\nx,10\r\ny,60\r\nw,120\r\nh,8\r\n"
                     "[taginfo1]\r\nx,10,y,10,w,100,h,16,s,9,fc,16777215,bc,0\r\ntag,%1\r\n"
                     "[tagscroll]\r\ntag, ~ \r\n"
                     "[timeinfo1]\r\nx,120,y,10,w,50,h,16,fc,255\r\n"
                     "[timeinfo2]\r\nx,120,y,30,w,70,h,16\r\ntext,/ \r\n"
                     "[power]\r\nx,180,y,2\r\n") &&
           writeBmp(folder + "main.bmp", 200, 80, Qt::darkGray) &&
           writeBmp(folder + "timebar.bmp", 8, 8, Qt::red) &&
           writeBmp(folder + "power.bmp", 12, 12, Qt::green);
}

} // namespace pelto::test
