#include "ui/Platform.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace friendlinks {

bool DesktopBrowser::open(const QString &address)
{
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

void WidgetMessageBox::show(QWidget *parent, const QString &title, const QString &text, MessageIcon icon)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText); // an address from a page is never read as markup
    box.setText(text);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.setStandardButtons(QMessageBox::Ok);
    switch (icon) {
    case MessageIcon::none: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::warning: box.setIcon(QMessageBox::Warning); break;
    }
    box.exec();
}

QString WidgetSaveDialog::askSaveFile(QWidget *parent, const QString &title, const QString &suggestedName,
                                      const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, suggestedName, filter);
}

bool WidgetConfirmation::confirm(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    // The window speaks Chinese whatever the desktop's language.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否"));
    return box.exec() == QMessageBox::Yes;
}

Confirmation &defaultConfirmation()
{
    static WidgetConfirmation confirmation;
    return confirmation;
}

SaveDialog &defaultSaveDialog()
{
    static WidgetSaveDialog dialog;
    return dialog;
}

Browser &defaultBrowser()
{
    static DesktopBrowser browser;
    return browser;
}

MessageBox &defaultMessageBox()
{
    static WidgetMessageBox box;
    return box;
}

QString applicationTitle()
{
    return QStringLiteral("友链卫士");
}

} // namespace friendlinks
