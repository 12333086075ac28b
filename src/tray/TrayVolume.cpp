#include "tray/TrayVolume.h"

#include "common/Numbers.h"

namespace pelto {

QString trayVolumeCaption(int item) {
    return QString::number((10 - item) * 10) + u'%';
}

int trayVolumeStep(int item) {
    return int(roundHalfEven((10 - item) * 3.1));
}

} // namespace pelto
