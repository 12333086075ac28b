#include "player/SkinWidgets.h"

#include <QFontMetrics>
#include <QPainter>

namespace pelto {

QColor colorFromSkinRgb(int rgb) {
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

SkinImage::SkinImage(QWidget* parent) : QWidget(parent) {}

void SkinImage::setPicture(const QImage& picture) {
    m_picture.setPicture(picture);
    update();
}

void SkinImage::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, m_picture.forRatio(p.device()->devicePixelRatioF()));
}

TextBox::TextBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextBox::setStyle(int pointSize, const QColor& foreColor, const QColor& backColor) {
    QFont f = font();
    if (pointSize > 0)
        f.setPointSize(pointSize);
    setFont(f);
    m_fore = foreColor;
    m_back = backColor;
    update();
}

void TextBox::setPicture(const QImage& picture) {
    m_picture.setPicture(picture);
    update();
}

void TextBox::showText(const QString& text, int offsetPx, bool twice) {
    if (text == m_text && offsetPx == m_offset && twice == m_twice)
        return;
    m_text = text;
    m_offset = offsetPx;
    m_twice = twice;
    update();
}

int TextBox::textWidth(const QString& text) const {
    return QFontMetrics(font()).horizontalAdvance(text);
}

void TextBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_back);
    if (!m_picture.isNull())
        p.drawPixmap(0, 0, m_picture.forRatio(p.device()->devicePixelRatioF()));
    if (m_text.isEmpty())
        return;
    p.setPen(m_fore);
    p.setFont(font());
    const int baseline = QFontMetrics(font()).ascent();
    p.drawText(-m_offset, baseline, m_text);
    if (m_twice)
        p.drawText(-m_offset + textWidth(m_text), baseline, m_text);
}

} // namespace pelto
