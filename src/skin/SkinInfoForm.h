#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace pelto {

// The skin information window: a fixed tool window that shows the skin folder and its
// description. It is built afresh for every opening, so it always shows the skin that
// is current at that moment.
class SkinInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit SkinInfoForm(const QString& skinFolder, QWidget* parent = nullptr);

    // Opens the window modally for skinFolder and discards it when it closes.
    static void showFor(const QString& skinFolder, QWidget* parent = nullptr);

    QPlainTextEdit* SkinInfoText() const { return m_text; }

private:
    QPlainTextEdit* m_text;
};

} // namespace pelto
