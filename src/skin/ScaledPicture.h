#pragma once

#include <QImage>
#include <QPixmap>

namespace pelto {

// A bitmap as a screen of device pixel ratio `ratio` shows it, with that ratio set.
// Whole ratios enlarge every pixel to an exact ratio × ratio block. A fractional ratio
// cannot give every pixel the same whole number of screen pixels, and repeating some
// rows and columns more than others makes thin lines and lettering ragged; so the
// bitmap is enlarged without smoothing by the next whole factor and then reduced
// smoothly to the ratio, each of its pixels weighing the same. The result covers the
// bitmap's logical size, its size in screen pixels rounded up. Ratios of 1 or less
// give the bitmap as it is.
QImage pictureForScreen(const QImage& picture, qreal ratio);

// A bitmap and its enlargement for the screen it is painted on, made once for each
// ratio the widget meets (a window moved to a screen of another scale makes a new
// one), never for each paint.
class ScaledPicture {
public:
    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    bool isNull() const { return m_picture.isNull(); }
    // The picture to draw at logical (0, 0) on a device of this ratio.
    const QPixmap& forRatio(qreal ratio);
    // The bytes the picture made last holds (at ratio 1 a copy in the screen's format,
    // which spares each paint a conversion of the bitmap's palette).
    qint64 cachedBytes() const;

private:
    QImage m_picture;
    QPixmap m_scaled;
    qreal m_ratio = 0;
};

} // namespace pelto
