#include "app/SettingsDialog.h"

#include "app/BaiduAgeSetting.h"
#include "ui/Platform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace friendlinks {
namespace {

QSpinBox *spinBox(int low, int high, int step, const QString &suffix, int value)
{
    auto *box = new QSpinBox;
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setSuffix(suffix);
    box->setValue(value);
    return box;
}

QStringList chooseWithDialog(QWidget *parent)
{
    return QFileDialog::getOpenFileNames(parent, QStringLiteral("选择证书文件"), QString(),
                                         QStringLiteral("PEM 证书 (*.pem *.crt *.cer);;所有文件 (*)"));
}

} // namespace

SettingsDialog::SettingsDialog(const StoredSettings &stored, const QStringList &givenOptions, QWidget *parent,
                               FileChooser chooseFiles)
    : QDialog(parent)
    , m_chooseFiles(chooseFiles ? std::move(chooseFiles) : FileChooser(chooseWithDialog))
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(QStringLiteral("设置 - ") + applicationTitle());

    m_commandLine = new QLabel;
    m_commandLine->setObjectName(QStringLiteral("commandLineNote"));
    m_commandLine->setWordWrap(true);
    m_commandLine->setStyleSheet(QStringLiteral("color: rgb(96,96,96);"));
    m_commandLine->setText(QStringLiteral("本次运行以命令行为准：%1；这里的选择下次启动起生效。")
                               .arg(givenOptions.join(QStringLiteral("、"))));
    m_commandLine->setVisible(!givenOptions.isEmpty());

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createProxyBox(stored));
    layout->addWidget(createCheckBox(stored));
    layout->addWidget(createCertificateBox(stored));
    layout->addWidget(m_commandLine);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_proxy, &QButtonGroup::idToggled, this, &SettingsDialog::updateAcceptable);
    connect(m_proxyAddress, &QLineEdit::textChanged, this, &SettingsDialog::updateAcceptable);
    updateAcceptable();
}

QWidget *SettingsDialog::createProxyBox(const StoredSettings &stored)
{
    auto *box = new QGroupBox(QStringLiteral("代理"));
    auto *layout = new QVBoxLayout(box);
    m_proxy = new QButtonGroup(this);
    const std::pair<StoredSettings::Proxy, QString> proxies[] = {
        {StoredSettings::Proxy::System, QStringLiteral("使用系统的代理设置")},
        {StoredSettings::Proxy::None, QStringLiteral("不用代理")},
        {StoredSettings::Proxy::Address, QStringLiteral("代理地址：")},
    };
    auto *addressRow = new QHBoxLayout;
    for (const auto &[choice, caption] : proxies) {
        auto *button = new QRadioButton(caption);
        m_proxy->addButton(button, int(choice));
        button->setChecked(stored.proxy == choice);
        if (choice == StoredSettings::Proxy::Address)
            addressRow->addWidget(button);
        else
            layout->addWidget(button);
    }
    m_proxyAddress = new QLineEdit(stored.proxyAddress);
    m_proxyAddress->setPlaceholderText(QStringLiteral("http://127.0.0.1:8080"));
    addressRow->addWidget(m_proxyAddress, 1);
    layout->addLayout(addressRow);
    m_proxyProblem = new QLabel(QStringLiteral("代理地址应为 http://主机:端口"));
    m_proxyProblem->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
    layout->addWidget(m_proxyProblem);
    return box;
}

QWidget *SettingsDialog::createCheckBox(const StoredSettings &stored)
{
    auto *box = new QGroupBox(QStringLiteral("检查"));
    auto *form = new QFormLayout(box);
    m_timeout = spinBox(1, 10 * 60 * 1000, 1000, QStringLiteral(" 毫秒"), stored.timeoutMs);
    form->addRow(QStringLiteral("每次访问的时限："), m_timeout);
    m_jobs = spinBox(1, kMaxJobs, 1, QStringLiteral(" 个"), stored.jobs);
    form->addRow(QStringLiteral("同时检查的友链："), m_jobs);
    m_baiduInterval = spinBox(0, 10 * 60 * 1000, 500, QStringLiteral(" 毫秒"), stored.baiduIntervalMs);
    form->addRow(QStringLiteral("两次百度查询至少相隔："), m_baiduInterval);
    m_baiduMaxAge = new QComboBox;
    for (const auto &[caption, minutes] : kBaiduAgeChoices)
        m_baiduMaxAge->addItem(QString::fromUtf8(caption), minutes);
    m_baiduMaxAge->setCurrentIndex(std::max(0, m_baiduMaxAge->findData(stored.baiduMaxAgeMinutes)));
    form->addRow(QStringLiteral("百度结果有效期："), m_baiduMaxAge);
    m_history = new QCheckBox(QStringLiteral("记录历史（每次检查存入历史，可比较变化）"));
    m_history->setChecked(stored.recordHistory);
    form->addRow(m_history);
    return box;
}

QWidget *SettingsDialog::createCertificateBox(const StoredSettings &stored)
{
    auto *box = new QGroupBox(QStringLiteral("证书"));
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(new QLabel(QStringLiteral("除系统的证书外还信任的证书文件（PEM）：")));
    auto *filesRow = new QHBoxLayout;
    m_caFiles = new QListWidget;
    m_caFiles->addItems(stored.caFiles);
    m_caFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_caFiles->setMaximumHeight(64);
    filesRow->addWidget(m_caFiles, 1);
    auto *fileButtons = new QVBoxLayout;
    auto *add = new QPushButton(QStringLiteral("添加…"));
    auto *remove = new QPushButton(QStringLiteral("移除"));
    fileButtons->addWidget(add);
    fileButtons->addWidget(remove);
    fileButtons->addStretch();
    filesRow->addLayout(fileButtons);
    layout->addLayout(filesRow);
    m_insecure = new QCheckBox(QStringLiteral("证书不可信的网页也读取（仍会注明证书问题）"));
    m_insecure->setChecked(stored.insecure);
    layout->addWidget(m_insecure);
    connect(add, &QPushButton::clicked, this, &SettingsDialog::addCaFiles);
    connect(remove, &QPushButton::clicked, this, &SettingsDialog::removeSelectedCaFiles);
    return box;
}

StoredSettings SettingsDialog::chosen() const
{
    StoredSettings chosen;
    chosen.proxy = StoredSettings::Proxy(std::max(0, m_proxy->checkedId()));
    chosen.proxyAddress = m_proxyAddress->text().trimmed();
    chosen.timeoutMs = m_timeout->value();
    chosen.jobs = m_jobs->value();
    chosen.baiduIntervalMs = m_baiduInterval->value();
    chosen.baiduMaxAgeMinutes = m_baiduMaxAge->currentData().toInt();
    for (int i = 0; i < m_caFiles->count(); ++i)
        chosen.caFiles << m_caFiles->item(i)->text();
    chosen.insecure = m_insecure->isChecked();
    chosen.recordHistory = m_history->isChecked();
    return chosen;
}

bool SettingsDialog::acceptable() const
{
    return m_proxy->checkedId() != int(StoredSettings::Proxy::Address) || proxyAddress(m_proxyAddress->text());
}

void SettingsDialog::updateAcceptable()
{
    const bool addressChosen = m_proxy->checkedId() == int(StoredSettings::Proxy::Address);
    m_proxyAddress->setEnabled(addressChosen);
    m_proxyProblem->setVisible(!acceptable());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(acceptable());
}

void SettingsDialog::addCaFiles()
{
    for (const QString &path : m_chooseFiles(this))
        if (m_caFiles->findItems(path, Qt::MatchExactly).isEmpty())
            m_caFiles->addItem(path);
}

void SettingsDialog::removeSelectedCaFiles()
{
    qDeleteAll(m_caFiles->selectedItems());
}

} // namespace friendlinks
