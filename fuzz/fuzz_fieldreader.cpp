// Fuzzes the field reader and the number reader with arbitrary bytes: every field and
// line value is read until the end, and each field is also parsed as a number.
#include "common/FieldReader.h"
#include "common/LegacyText.h"
#include "common/Numbers.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    pelto::FieldReader reader(bytes);
    qsizetype steps = 0;
    while (!reader.atEnd()) {
        const QString field = reader.readField();
        (void)pelto::parseNumber(field);
        (void)pelto::parseInt16(field);
        // Alternate the two kinds of value, as the skin and settings readers do.
        if (field.startsWith(u't'))
            (void)reader.readLineValue();
        // Every read consumes at least one byte, so the loop is bounded by the size.
        if (++steps > qsizetype(size) + 1)
            std::abort();
    }
    (void)pelto::decodeLegacyText(bytes);
    return 0;
}
