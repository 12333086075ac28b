#pragma once

#include <QString>

namespace pelto {

// The document the about box's link opens: `configured` when the build names a home
// page; otherwise the README beside the program (a build folder or a portable copy,
// where the build puts one), else the installed README. As a file address; the
// installed one also when neither exists.
QString homePageAddress(const QString& configured, const QString& programFolder,
                        const QString& installedReadme);

// Opens an address with the desktop's program for it. When nothing can open it, says
// so once on stderr (later failures stay quiet) and gives false.
bool openHomePage(const QString& address);

} // namespace pelto
