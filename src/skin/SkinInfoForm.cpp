#include "SkinInfoForm.h"

#include "SkinInfo.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>

namespace pelto {

namespace {
constexpr int kWidth = 386;
constexpr int kHeight = 266;
} // namespace

SkinInfoForm::SkinInfoForm(const QString& skinFolder, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint),
      m_text(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Pelto Skin情報"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_text->setObjectName(QStringLiteral("SkinInfoText"));
    m_text->setGeometry(0, 0, kWidth, kHeight);
    m_text->setReadOnly(true);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The description may end lines with CR LF, LF or a lone CR; each is one break.
    QString text = skinInfoText(skinFolder);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    m_text->setPlainText(text);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
}

void SkinInfoForm::showFor(const QString& skinFolder, QWidget* parent) {
    SkinInfoForm form(skinFolder, parent);
    form.exec();
}

} // namespace pelto
