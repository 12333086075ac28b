// Fuzzes the settings reader with arbitrary bytes as Pelto.cfg. Whatever it reads, the
// file SaveConfig writes from it has its 29 lines; and a file the program wrote is
// written again byte for byte from what it reads back.
#include "common/FieldReader.h"
#include "settings/ConfigFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

struct Read {
    pelto::Settings settings;
    int PlayListTrNum = 1;
};

Read load(const QByteArray& bytes) {
    Read r;
    pelto::FieldReader reader(bytes);
    pelto::LoadConfig(reader, r.settings, r.PlayListTrNum);
    return r;
}

QByteArray save(const Read& r) {
    return pelto::configText(r.settings, r.PlayListTrNum);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray first = save(load(bytes));
    if (first.count("\r\n") != 29 || !first.endsWith("\r\n"))
        std::abort();
    // What the program wrote is its own file from here on. (Its settings may differ
    // from the first ones: a Type 1 place of no whole pixel comes back rounded, a size
    // that rounds to 0 pixels is not applied and goes out as laid out.)
    const QByteArray written = save(load(first));
    if (save(load(written)) != written)
        std::abort();
    return 0;
}
