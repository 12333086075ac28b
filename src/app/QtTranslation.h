#pragma once

class QCoreApplication;

namespace pelto {

// Puts Qt's own texts (the file dialogs' buttons and labels, the menus of text fields)
// into Japanese like the rest of the program, from Qt's installed translation
// (qtbase_ja). False when that is not installed: Qt's texts then stay in English.
bool installQtTranslation(QCoreApplication& app);

} // namespace pelto
