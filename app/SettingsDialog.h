#pragma once

#include "app/StoredSettings.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace friendlinks {

// "设置…": the check settings the window remembers, shown from stored and read
// back by chosen(). OK stays disabled while the proxy address is no address.
// The options given on the command line are named at the bottom: they win for
// this run, what is chosen here serves from the next start.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Asks for PEM files to add (the real one: QFileDialog); empty when cancelled.
    using FileChooser = std::function<QStringList(QWidget *parent)>;

    SettingsDialog(const StoredSettings &stored, const QStringList &givenOptions, QWidget *parent = nullptr,
                   FileChooser chooseFiles = {});

    [[nodiscard]] StoredSettings chosen() const;
    [[nodiscard]] bool acceptable() const;

    // The controls, by what they hold (for tests and the screenshots).
    [[nodiscard]] QButtonGroup *proxyChoice() const { return m_proxy; }
    [[nodiscard]] QLineEdit *proxyAddressBox() const { return m_proxyAddress; }
    [[nodiscard]] QSpinBox *timeoutBox() const { return m_timeout; }
    [[nodiscard]] QSpinBox *jobsBox() const { return m_jobs; }
    [[nodiscard]] QSpinBox *baiduIntervalBox() const { return m_baiduInterval; }
    [[nodiscard]] QComboBox *baiduMaxAgeBox() const { return m_baiduMaxAge; }
    [[nodiscard]] QListWidget *caFilesList() const { return m_caFiles; }
    [[nodiscard]] QCheckBox *insecureBox() const { return m_insecure; }
    [[nodiscard]] QCheckBox *historyBox() const { return m_history; }
    [[nodiscard]] QDialogButtonBox *buttons() const { return m_buttons; }
    [[nodiscard]] QLabel *commandLineNote() const { return m_commandLine; }

    void addCaFiles();
    void removeSelectedCaFiles();

private:
    QWidget *createProxyBox(const StoredSettings &stored);
    QWidget *createCheckBox(const StoredSettings &stored);
    QWidget *createCertificateBox(const StoredSettings &stored);
    void updateAcceptable();

    FileChooser m_chooseFiles;
    QButtonGroup *m_proxy = nullptr;
    QLineEdit *m_proxyAddress = nullptr;
    QSpinBox *m_timeout = nullptr;
    QSpinBox *m_jobs = nullptr;
    QSpinBox *m_baiduInterval = nullptr;
    QComboBox *m_baiduMaxAge = nullptr;
    QListWidget *m_caFiles = nullptr;
    QCheckBox *m_insecure = nullptr;
    QCheckBox *m_history = nullptr;
    QLabel *m_proxyProblem = nullptr;
    QLabel *m_commandLine = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};

inline const QString kSettingsCaption = QStringLiteral("设置…");

} // namespace friendlinks
