#pragma once

#include "skin/SkinState.h"

#include <QByteArray>
#include <QString>

namespace pelto {

class FieldReader;

// The main window's look before any skin was applied: every element at the reset
// place, the default text styles, no pictures, and a background of 6 × 6 pixels.
SkinState initialSkinState();

// The look a skin starts from: the previous look with every placed element moved to
// -10, -10 and sized 1 × 1 (outside the window, so it is not seen and takes no
// click), the text areas' pictures removed and the skin's texts emptied. Bitmap
// elements keep their pictures, text styles carry over, Main2Skin is not touched.
SkinState resetSkinState(const SkinState& previous);

// Brings an element to the front of its layer (the text layer for text areas, the
// surface layer for everything else).
void bringToFront(SkinState& state, SkinElement element);

// Reads a skin definition from reader and applies it to state in file order, loading
// bitmaps from skinFolder as the sections and keys ask for them. Values that are not
// usable (not a number, out of range, a missing or unreadable bitmap) are skipped and
// leave the element as it was.
void applySkinConfig(FieldReader& reader, const QString& skinFolder, SkinState& state);

// The look after applying the skin in skinFolder over previous: the reset, main.bmp
// at 0, 0 brought to the front, then the folder's _skin.cfg. A missing main.bmp keeps
// the previous background; a missing _skin.cfg reads as an empty file (callers decide
// beforehand with hasSkinConfig whether to apply the folder at all).
SkinState readSkin(const QString& skinFolder, const SkinState& previous);

} // namespace pelto
