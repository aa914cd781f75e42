#include "launcher/Form9.h"

#include "assets/Assets.h"
#include "launcher/EngineTable.h"
#include "ui/Fonts.h"
#include "ui/PictureButton.h"
#include "ui/Twips.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace friendlinks {

namespace {

// A picture drawn for 96 dpi, at the size it has on this screen.
QPixmap atDpi(const QPixmap &picture, int dpi)
{
    if (dpi == 96 || picture.isNull())
        return picture;
    return picture.scaled(picture.size() * dpi / 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The 16x16 icon drawn for engine k: its first letter on a tile of its own colour.
QPixmap engineIcon(int k)
{
    static const QColor kTiles[kEngineCount] = {
        {41, 98, 255}, {0, 150, 136}, {66, 133, 244}, {123, 31, 162}, {255, 111, 0}, {0, 137, 123},
        {0, 120, 215}, {211, 47, 47}, {56, 142, 60}, {230, 81, 0}, {48, 63, 159}};
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kTiles[k % kEngineCount]);
    p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
    p.setPen(Qt::white);
    p.setFont(songFont(8, true));
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::fromUtf8(engineTable()[k].name).left(1));
    return pix;
}

} // namespace

Form9::Form9(QWidget *parent, Browser *browser, MessageBox *messages)
    : QWidget(parent)
    , m_browser(browser ? browser : &defaultBrowser())
    , m_messages(messages ? messages : &defaultMessageBox())
{
    const int dpi = logicalDpiX();
    setWindowTitle(QStringLiteral("Form9"));
    setFixedSize(twips(8160, dpi), twips(2310, dpi));
    QWidget *frame6 = createStrip(dpi);
    createSearchControls(frame6, dpi);

    setTabOrder(m_command1, m_combo1);
    setTabOrder(m_combo1, m_text1);

    connect(m_combo1, &QComboBox::currentIndexChanged, this, &Form9::engineChosen);
    connect(m_combo1, &QComboBox::activated, this, &Form9::engineChosen);
    connect(m_command1, &QPushButton::clicked, this, &Form9::search);
    connect(m_text1, &QLineEdit::returnPressed, this, &Form9::search);
}

// Frame6, the strip that shows once embedded, with its background pictures and Label13.
QWidget *Form9::createStrip(int dpi)
{
    auto *frame6 = new QWidget(this);
    frame6->setGeometry(twipsRect(0, 0, 8055, 465, dpi));
    frame6->setAutoFillBackground(true);
    QPalette strip = frame6->palette();
    strip.setColor(QPalette::Window, QColor(236, 240, 246));
    frame6->setPalette(strip);

    // Two strips of one picture, the second over the first; each shows the
    // picture at its own size from its top-left corner.
    const QPixmap stripPicture = atDpi(assets::picture(assets::kStrip), dpi);
    const auto addStrip = [&](const char *name, QRect geometry) {
        auto *picture5 = new QLabel(frame6);
        picture5->setObjectName(QString::fromLatin1(name));
        picture5->setGeometry(geometry);
        picture5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture5->setPixmap(stripPicture);
        return picture5;
    };
    addStrip("Picture5(1)", twipsRect(0, -70, 8415, 495, dpi));
    QLabel *picture5 = addStrip("Picture5(0)", twipsRect(-2520, -80, 8175, 495, dpi));

    auto *label13 = new QLabel(QStringLiteral("搜索引擎："), picture5);
    label13->setObjectName(QStringLiteral("Label13"));
    label13->setGeometry(twipsRect(2640, 120, 1335, 255, dpi));
    label13->setFont(songFont(10.5, true));
    label13->setStyleSheet(QStringLiteral("color: rgb(64,64,64);"));
    return frame6;
}

// The engine's icon Picture2, the search button, the engine choice and the keyword box.
void Form9::createSearchControls(QWidget *frame6, int dpi)
{
    m_picture2 = new QLabel(frame6);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setGeometry(twipsRect(1200, 30, 255, 255, dpi));
    m_picture2->setAlignment(Qt::AlignCenter);
    m_picture2->setAutoFillBackground(true);
    QPalette window = m_picture2->palette();
    window.setColor(QPalette::Window, window.color(QPalette::Base));
    m_picture2->setPalette(window);

    m_command1 = new PictureButton(QStringLiteral("搜索"), assets::picture(assets::kSearchFace),
                                   assets::picture(assets::kSearchFacePressed), frame6);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(twipsRect(5040, -20, 735, 350, dpi));
    m_command1->setFont(songFont(10.5, true));
    m_command1->setCursor(Qt::PointingHandCursor);

    m_combo1 = new QComboBox(frame6);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    m_combo1->setGeometry(twipsRect(1480, 0, 1095, 330, dpi));
    // Names only: the chosen engine's icon shows in Picture2 beside the list.
    for (int k = 0; k < kEngineCount; ++k)
        m_combo1->addItem(QString::fromUtf8(engineTable()[k].name));
    m_combo1->setEditText(QStringLiteral("百度"));

    m_text1 = new QLineEdit(frame6);
    m_text1->setObjectName(QStringLiteral("Text1"));
    // A hint, not a keyword: searching with the box left empty asks for one.
    m_text1->setPlaceholderText(QStringLiteral("输入查询的关键字"));
    m_text1->setGeometry(twipsRect(2640, 0, 2295, 330, dpi));
}

void Form9::activate()
{
    m_searchUrls = QStringList(kEngineCount);
    if (m_combo1->currentIndex() == 0)
        engineChosen(0);
    else
        m_combo1->setCurrentIndex(0);
}

void Form9::engineChosen(int index)
{
    m_text1->setFocus();
    if (index >= 0 && index < kEngineCount)
        m_picture2->setPixmap(engineIcon(index));
}

void Form9::search()
{
    const QString keyword = trimSpaces(m_text1->text());
    if (keyword.isEmpty()) {
        m_messages->show(this, applicationTitle(), QStringLiteral("请输入查找之关键词"), MessageIcon::none);
        return;
    }
    m_searchUrls = buildSearchUrls(keyword);
    // An edited engine text that no longer names an entry means no engine is chosen.
    const int chosen = m_combo1->findText(m_combo1->currentText());
    if (chosen < 0 || chosen >= kEngineCount) {
        m_messages->show(this, applicationTitle(), QStringLiteral("请选择搜索引擎"), MessageIcon::information);
        return;
    }
    const QString &address = m_searchUrls.at(chosen);
    if (!m_browser->open(address))
        // The address on a line of its own, to be copied from the box.
        m_messages->show(this, applicationTitle(), QStringLiteral("无法打开浏览器，请复制网址自行打开：\n") + address,
                         MessageIcon::warning);
}

} // namespace friendlinks
