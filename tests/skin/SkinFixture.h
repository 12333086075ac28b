#pragma once

// A skin folder made on the fly in a temporary folder: bitmaps of chosen sizes and
// colours, and a definition file.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace pelto::test {

class SkinFixture {
public:
    SkinFixture() : m_folder(m_dir.path() + QStringLiteral("/skin/test/")) {
        QDir().mkpath(m_folder);
    }

    QString programFolder() const { return m_dir.path() + u'/'; }
    QString folder() const { return m_folder; }

    // A 24-bit Windows bitmap filled with one colour.
    void bitmap(const QString& name, int w, int h, QColor colour = Qt::red) const {
        QImage image(w, h, QImage::Format_RGB888);
        image.fill(colour);
        image.save(m_folder + name, "BMP");
    }

    void file(const QString& name, const QByteArray& bytes) const {
        QFile f(m_folder + name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
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

} // namespace pelto::test
