#pragma once

#include <QString>
#include <QUrl>

class QWidget;

namespace friendlinks {

// Opens an address in the user's browser; false when no browser could be opened.
class Browser {
public:
    virtual ~Browser() = default;
    [[nodiscard]] virtual bool open(const QString &address) = 0;
};

// Kinds of message boxes the windows show.
enum class MessageIcon { none, information, warning };

// Shows a modal message box with an OK button; its text is plain and selectable.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(QWidget *parent, const QString &title, const QString &text, MessageIcon icon) = 0;
};

// Asks the user where to save a file; an empty text when the user cancels.
class SaveDialog {
public:
    virtual ~SaveDialog() = default;
    [[nodiscard]] virtual QString askSaveFile(QWidget *parent, const QString &title, const QString &suggestedName,
                                              const QString &filter) = 0;
};

// The real save dialog: QFileDialog.
class WidgetSaveDialog : public SaveDialog {
public:
    [[nodiscard]] QString askSaveFile(QWidget *parent, const QString &title, const QString &suggestedName,
                                      const QString &filter) override;
};

// The real browser: QDesktopServices, tolerant of unescaped Chinese.
class DesktopBrowser : public Browser {
public:
    [[nodiscard]] bool open(const QString &address) override;
};

// The real message box: QMessageBox.
class WidgetMessageBox : public MessageBox {
public:
    void show(QWidget *parent, const QString &title, const QString &text, MessageIcon icon) override;
};

// Asks the user to confirm what cannot be undone; true for yes.
class Confirmation {
public:
    virtual ~Confirmation() = default;
    [[nodiscard]] virtual bool confirm(QWidget *parent, const QString &title, const QString &text) = 0;
};

// The real question: QMessageBox with 是 and 否, 否 the default.
class WidgetConfirmation : public Confirmation {
public:
    [[nodiscard]] bool confirm(QWidget *parent, const QString &title, const QString &text) override;
};

// Shared real instances, used when no seam is given.
[[nodiscard]] Browser &defaultBrowser();
[[nodiscard]] MessageBox &defaultMessageBox();
[[nodiscard]] SaveDialog &defaultSaveDialog();
[[nodiscard]] Confirmation &defaultConfirmation();

// The product title shown in captions and message boxes.
[[nodiscard]] QString applicationTitle();

} // namespace friendlinks
