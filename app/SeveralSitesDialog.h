#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QDialogButtonBox;
class QLabel;
class QPlainTextEdit;

namespace friendlinks {

// "检查多个网站…": a list of sites, typed, pasted or read from a text file,
// one a line as `check --sites` reads it (blank lines and # comments skipped).
// 检查 is enabled while the list names at least one site and every line can be
// checked; else the first bad line is named below the list.
class SeveralSitesDialog : public QDialog {
    Q_OBJECT
public:
    // Asks for a text file to read (the real one: QFileDialog); empty when cancelled.
    using FileChooser = std::function<QString(QWidget *parent)>;

    explicit SeveralSitesDialog(QWidget *parent = nullptr, FileChooser chooseFile = {});

    [[nodiscard]] QStringList sites() const { return m_sites; }
    [[nodiscard]] QPlainTextEdit *listBox() const { return m_list; }
    [[nodiscard]] QLabel *problemLabel() const { return m_problem; }
    [[nodiscard]] QDialogButtonBox *buttons() const { return m_buttons; }

    // Reads a file into the list box, as --sites reads it; false (and why in the
    // problem line) when it cannot be read, is too large or is no text.
    bool readFile(const QString &path);
    void chooseAndReadFile();

private:
    void listChanged();

    FileChooser m_chooseFile;
    QPlainTextEdit *m_list = nullptr;
    QLabel *m_problem = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QStringList m_sites;
    QString m_fileProblem; // of the last file read, until the list is edited
};

inline const QString kSeveralSitesCaption = QStringLiteral("检查多个网站…");

} // namespace friendlinks
