#pragma once

#include "skin/SkinElements.h"

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>
#include <QVector>

#include <array>

namespace pelto {

// How one element looks after a skin was applied. Bitmap elements take the size of
// their picture; hit areas and text areas take the size the skin gives them.
struct SkinElementState {
    QRect geometry{-10, -10, 1, 1}; // in pixels of the main window's client area
    QImage picture;                 // null when the element has none
    QString pictureFile;            // the bitmap's file name, empty when none
};

// The text style of a text area. Colours are the skin's RGB numbers
// (red + 256 × green + 65536 × blue).
struct SkinTextStyle {
    int fontSize = 9;
    int foreColor = 0x000000;
    int backColor = 0xFFFFFF;
};

// The whole skinned look of the main window: what LoadSkin computes from a skin
// folder (starting from the previous look, since font sizes, colours and pictures
// carry over where the new skin is silent) and what the main window then shows.
struct SkinState {
    std::array<SkinElementState, kSkinElementCount> elements;
    // Styles of TagInfo(0..2), NowTime and TotalTime, in that order.
    std::array<SkinTextStyle, 5> textStyles;
    // Element stacking from bottom to top: surface layer (bitmaps and hit areas) and
    // text layer. An element's place decides which one takes a click where two overlap.
    QVector<SkinElement> surfaceOrder;
    QVector<SkinElement> textOrder;
    std::array<QString, 3> SkinTagInfo;
    QString SkinTagScroll;
    QString TotalTimePrefix;

    SkinElementState& operator[](SkinElement e) { return elements[size_t(e)]; }
    const SkinElementState& operator[](SkinElement e) const { return elements[size_t(e)]; }
    static int textStyleIndex(SkinElement e) { return int(e) - int(SkinElement::TagInfo0); }
    SkinTextStyle& style(SkinElement e) { return textStyles[size_t(textStyleIndex(e))]; }
    const SkinTextStyle& style(SkinElement e) const {
        return textStyles[size_t(textStyleIndex(e))];
    }
    // The window's size: the size of MainSkin's picture.
    QSize windowSize() const { return elements[size_t(SkinElement::MainSkin)].geometry.size(); }
};

} // namespace pelto
