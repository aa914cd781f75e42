#include "app/SeveralSitesDialog.h"

#include "check/BoundedRead.h"
#include "check/SiteText.h"
#include "ui/Platform.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace friendlinks {
namespace {

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

QString chooseWithDialog(QWidget *parent)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("读取网站列表"), QString(),
                                        QStringLiteral("文本文件 (*.txt *.lst);;所有文件 (*)"));
}

} // namespace

SeveralSitesDialog::SeveralSitesDialog(QWidget *parent, FileChooser chooseFile)
    : QDialog(parent)
    , m_chooseFile(chooseFile ? std::move(chooseFile) : FileChooser(chooseWithDialog))
{
    setObjectName(QStringLiteral("severalSitesDialog"));
    setWindowTitle(QStringLiteral("检查多个网站 - ") + applicationTitle());
    auto *intro = new QLabel(QStringLiteral("每行一个网站（以 # 开头的行和空行不算）："));
    m_list = new QPlainTextEdit;
    m_list->setObjectName(QStringLiteral("siteList"));
    m_list->setPlaceholderText(QStringLiteral("www.example.com\nwww.example.net  # 注释"));
    m_list->setTabChangesFocus(true);
    m_problem = new QLabel;
    m_problem->setObjectName(QStringLiteral("siteListProblem"));
    m_problem->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
    m_problem->setTextFormat(Qt::PlainText);
    m_problem->setWordWrap(true);

    auto *readFileButton = new QPushButton(QStringLiteral("从文件读取…"));
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("检查"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(readFileButton);
    bottom->addStretch();
    bottom->addWidget(m_buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_problem);
    layout->addLayout(bottom);
    resize(460, 320);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(readFileButton, &QPushButton::clicked, this, &SeveralSitesDialog::chooseAndReadFile);
    connect(m_list, &QPlainTextEdit::textChanged, this, [this] {
        m_fileProblem.clear();
        listChanged();
    });
    listChanged();
}

bool SeveralSitesDialog::readFile(const QString &path)
{
    QFile file(path);
    QString problem;
    std::optional<QByteArray> bytes;
    if (!file.open(QIODevice::ReadOnly))
        problem = QStringLiteral("无法读取 %1：%2").arg(path, file.errorString());
    else if (bytes = readAtMost(file, kMaxSitesFileBytes); !bytes)
        problem = QStringLiteral("%1 大于 %2 MB").arg(path).arg(kMaxSitesFileBytes / (1024 * 1024));
    else if (const QString why = sitesFileProblem(*bytes); !why.isEmpty())
        problem = QStringLiteral("%1 不是文本文件：%2").arg(path, why);
    if (!problem.isEmpty()) {
        m_fileProblem = problem;
        listChanged();
        return false;
    }
    QByteArray text = *bytes;
    if (text.startsWith(kUtf8ByteOrderMark))
        text.remove(0, 3);
    m_list->setPlainText(QString::fromUtf8(text));
    return true;
}

void SeveralSitesDialog::chooseAndReadFile()
{
    const QString path = m_chooseFile(this);
    if (!path.isEmpty())
        readFile(path);
}

void SeveralSitesDialog::listChanged()
{
    const SiteList list = readSiteList(m_list->toPlainText());
    m_sites = list.sites;
    QString problem = m_fileProblem;
    if (problem.isEmpty() && !list.problem.isEmpty())
        problem = QStringLiteral("第 %1 行：%2").arg(list.problemLine).arg(list.problem);
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty() && !m_sites.isEmpty());
}

} // namespace friendlinks
