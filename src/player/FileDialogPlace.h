#pragma once

class QFileDialog;
class QWidget;

namespace pelto {

// Where and how large the file dialogs open. A dialog opens centred over the window
// that opened it, inside that window's screen, at the size the last file dialog of
// this run was left at; the first one is large enough to show names, sizes and types
// whole. Its detail columns other than the name fit what they show.

// Call before exec().
void placeFileDialog(QFileDialog& dialog, QWidget* opener);
// Call after exec(): the dialog's size is the next one's.
void rememberFileDialogSize(const QFileDialog& dialog);

} // namespace pelto
