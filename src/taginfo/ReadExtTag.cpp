#include "taginfo/ExtTagInfo.h"

#include "common/Paths.h"
#include "taginfo/TagSource.h"

#include <exception>

namespace pelto {

int ReadExtTag(ExtTagInfo& record, const QString& path) {
    try {
        TagSource source;
        if (!source.load(path))
            return 0;
        const QString suffix = extTagSuffix(source);
        if (suffix.isEmpty())
            return 0;
        const std::pair<const char*, QString*> fields[] = {
            {"INAM_", &record.Title},   {"IART_", &record.Artist}, {"IPRD_", &record.Album},
            {"ICMT_", &record.Comment}, {"IGNR_", &record.Genre},  {"ICRD_", &record.Date},
            {"TRACK_", &record.Track}};
        for (const auto& [prefix, field] : fields) {
            const std::optional<QString> value = source.value(QLatin1String(prefix) + suffix);
            // A value not delivered ends the read; fields stored so far stay stored.
            if (!value)
                return 0;
            *field = CutAtNul(*value);
        }
        // "3/12" is track 3; a text that starts with "/" is kept as it stands.
        const qsizetype slash = record.Track.indexOf(u'/');
        if (slash > 0)
            record.Track.truncate(slash);
        return 1;
    } catch (...) {
        return 0;
    }
}

} // namespace pelto
