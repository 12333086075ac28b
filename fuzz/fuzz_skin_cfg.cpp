// Fuzzes the skin definition reader with arbitrary bytes as _skin.cfg, over a skin
// folder that holds a few small bitmaps (some under other letter cases, one that is
// not a bitmap at all), so headers, pict and mask really load pictures.
#include "common/FieldReader.h"
#include "skin/SkinReader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

const QString& skinFolder() {
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString f = dir.path() + u'/';
        auto bitmap = [&](const char* name, int w, int h) {
            QImage image(w, h, QImage::Format_RGB888);
            image.fill(Qt::blue);
            image.save(f + QLatin1String(name), "BMP");
        };
        bitmap("main.bmp", 16, 8);
        bitmap("Power.BMP", 3, 2);
        bitmap("timebar.bmp", 2, 2);
        bitmap("taginfo1.bmp", 4, 3);
        bitmap("main2.bmp", 16, 8);
        QFile bad(f + QStringLiteral("volumebar.bmp"));
        if (bad.open(QIODevice::WriteOnly))
            bad.write("BM\x10\x00 not a bitmap");
        return f;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    pelto::SkinState state = pelto::resetSkinState(pelto::initialSkinState());
    pelto::FieldReader reader(bytes);
    pelto::applySkinConfig(reader, skinFolder(), state);

    // Each element appears once in exactly one layer; sizes are never negative.
    if (state.surfaceOrder.size() + state.textOrder.size() != pelto::kSkinElementCount - 1)
        std::abort();
    for (const pelto::SkinElementState& e : state.elements)
        if (e.geometry.width() < 0 || e.geometry.height() < 0)
            std::abort();
    for (const pelto::SkinTextStyle& s : state.textStyles)
        if (s.fontSize < 1 || s.foreColor < 0 || s.foreColor > 0xFFFFFF || s.backColor < 0 ||
            s.backColor > 0xFFFFFF)
            std::abort();
    return 0;
}
