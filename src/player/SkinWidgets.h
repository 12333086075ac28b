#pragma once

#include "skin/ScaledPicture.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace pelto {

// A bitmap element or hit area of the main window: shows its picture at its natural
// size in logical pixels, enlarged evenly for the screen's scale (ScaledPicture), or
// nothing (a hit area only takes the mouse).
class SkinImage : public QWidget {
    Q_OBJECT
public:
    explicit SkinImage(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture.picture(); }
    const ScaledPicture& scaledPicture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScaledPicture m_picture;
};

// A text area of the main window (NowTime, TotalTime, TagInfo(0..2)): the skin's
// background colour, an optional background picture over it, and one line of text in
// the skin's text colour printed from the top edge at x = -offset; a scrolling line is
// printed twice in a row. The picture is enlarged like a SkinImage's; the text is drawn
// at the screen's resolution. Repaints only when what it shows changes.
class TextBox : public QWidget {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    void setStyle(int pointSize, const QColor& foreColor, const QColor& backColor);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture.picture(); }
    const ScaledPicture& scaledPicture() const { return m_picture; }
    QColor foreColor() const { return m_fore; }
    QColor backColor() const { return m_back; }

    // Clears the box and prints the text.
    void showText(const QString& text, int offsetPx = 0, bool twice = false);
    const QString& text() const { return m_text; }
    int offset() const { return m_offset; }
    bool printedTwice() const { return m_twice; }
    // The width in pixels of a text in this box's font.
    int textWidth(const QString& text) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScaledPicture m_picture;
    QColor m_fore{Qt::black};
    QColor m_back{Qt::white};
    QString m_text;
    int m_offset = 0;
    bool m_twice = false;
};

// A colour from the skin's RGB number: red + 256 × green + 65536 × blue.
QColor colorFromSkinRgb(int rgb);

} // namespace pelto
