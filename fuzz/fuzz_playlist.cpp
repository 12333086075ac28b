// Fuzzes the playlist reader and the command-line splitter with arbitrary bytes.
// Checks that every entry is a non-empty single line, that a playlist saved from the
// entries reads back to the same entries, and that names carry no double quotes.
#include "common/LegacyText.h"
#include "playlist/CommandLineSplit.h"
#include "playlist/PlaylistFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelto;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString list = QStringLiteral("/lists/x.m3u");
    const QStringList entries = parsePlaylistBytes(bytes, list);
    for (const QString& e : entries)
        check(!e.isEmpty() && !e.contains(u'\r') && !e.contains(u'\n') && !e.contains(QChar(0)));
    const QByteArray saved = playlistFileBytes(entries, list);
    check(parsePlaylistBytes(saved, list) == entries);
    (void)parsePlaylistBytes(bytes, QStringLiteral("C:\\Lists\\x.m3u"), PathSyntax::windows());

    const QString text = decodeLegacyText(bytes);
    const QStringList names = splitCommandLine(text);
    check(names.size() <= text.size());
    for (const QString& n : names)
        check(!n.contains(u'"'));
    return 0;
}
