#include "skin/ScaledPicture.h"

#include <QtMath>

namespace pelto {

namespace {

// Ratios closer than this to a whole number are taken as that number: Qt derives them
// from DPI settings, which give 2.0000001 as readily as 2.
constexpr qreal kRatioSlack = 1e-4;

} // namespace

QImage pictureForScreen(const QImage& picture, qreal ratio) {
    if (picture.isNull() || ratio <= 1 + kRatioSlack)
        return picture;
    const QImage flat = picture.convertToFormat(
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const int whole = qCeil(ratio - kRatioSlack);
    QImage enlarged =
        flat.scaled(flat.size() * whole, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (qAbs(ratio - whole) <= kRatioSlack) {
        enlarged.setDevicePixelRatio(whole);
        return enlarged;
    }
    const QSize target(qCeil(picture.width() * ratio - kRatioSlack),
                       qCeil(picture.height() * ratio - kRatioSlack));
    QImage reduced = enlarged.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    reduced.setDevicePixelRatio(ratio);
    return reduced;
}

void ScaledPicture::setPicture(const QImage& picture) {
    m_picture = picture;
    m_scaled = QPixmap();
    m_ratio = 0;
}

const QPixmap& ScaledPicture::forRatio(qreal ratio) {
    if (ratio != m_ratio) {
        m_ratio = ratio;
        m_scaled =
            m_picture.isNull() ? QPixmap() : QPixmap::fromImage(pictureForScreen(m_picture, ratio));
    }
    return m_scaled;
}

qint64 ScaledPicture::cachedBytes() const {
    return qint64(m_scaled.width()) * m_scaled.height() * m_scaled.depth() / 8;
}

} // namespace pelto
