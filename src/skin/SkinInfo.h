#pragma once

#include <QString>

namespace pelto {

// The text of the skin information window: the skin folder, an empty line, then the
// folder's _skininfo.txt (decoded as the program's legacy text files are) when there
// is one. Lines end with CR LF as the description file's own do.
QString skinInfoText(const QString& skinFolder);

} // namespace pelto
