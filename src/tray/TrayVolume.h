#pragma once

#include <QString>

namespace pelto {

// The tray menu's volume items: item 0 is "100%", each further item ten per cent
// less, item 10 is "0%".
constexpr int kTrayVolumeItems = 11;

// The caption of volume item k: (10 - k) × 10 followed by "%".
QString trayVolumeCaption(int item);

// The volume step (0 to 31) that volume item k sets: (10 - k) × 3.1 rounded to the
// nearest whole number, so "50%" is step 16 and "10%" step 3.
int trayVolumeStep(int item);

} // namespace pelto
