#include "RowFacts.h"

#include "common/TimeText.h"
#include "common/TrimSpaces.h"

namespace pelto {

namespace {

// The extended text when the extended tag is valid and the text is not blank, else
// the version 1 text; both trimmed of spaces (U+0020) only, as the information lines
// are.
QString preferExtended(const QString& extended, int extValid, const QString& v1) {
    if (extValid == 1) {
        const QString text = trimSpaces(extended);
        if (!text.isEmpty())
            return text;
    }
    return trimSpaces(CutAtNul(v1));
}

} // namespace

PlaylistRow playlistRowFromFacts(const QString& path, const FileInfo& info, const ExtTagInfo& ext,
                                 int extValid, PathSyntax syntax) {
    PlaylistRow row;
    row.title = preferExtended(ext.Title, extValid, info.tag.Title);
    if (row.title.isEmpty())
        row.title = syntax.title(path);
    row.artist = preferExtended(ext.Artist, extValid, info.tag.Artist);
    row.length = timeText(info.TotalSec);
    row.path = path;
    return row;
}

} // namespace pelto
