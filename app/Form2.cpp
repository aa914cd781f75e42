#include "app/Form2.h"

#include "app/BaiduAgeSetting.h"
#include "app/BannerNotes.h"
#include "app/ChangesColumn.h"
#include "app/CheckControl.h"
#include "app/HeaderSort.h"
#include "app/MessageArea.h"
#include "app/ProblemFilter.h"
#include "app/ResultsSortProxy.h"
#include "app/ClockFormat.h"
#include "app/HistoryActions.h"
#include "app/ListActions.h"
#include "app/ListMenu.h"
#include "app/HistorySetting.h"
#include "app/ModeSetting.h"
#include "app/OneLineCells.h"
#include "app/ResultsListModel.h"
#include "app/BannerPicture.h"
#include "app/SettingsAction.h"
#include "app/SeveralSitesAction.h"
#include "app/SiteHistory.h"
#include "app/WindowGeometry.h"
#include "assets/Assets.h"
#include "check/RowFacts.h"
#include "check/TextEscape.h"
#include "ui/Fonts.h"
#include "launcher/Form9.h"
#include "ui/PictureButton.h"
#include "ui/Twips.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
#include <QResizeEvent>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include <algorithm>

namespace friendlinks {

namespace {

// The strip picture from assets/ at the strip's height, its aspect kept; a plain blue fill should it be missing.
QPixmap bannerPixmap(QSize size)
{
    const QPixmap picture = assets::picture(assets::kBanner);
    if (picture.isNull()) {
        QPixmap plain(size);
        plain.fill(QColor(20, 70, 140));
        return plain;
    }
    return centredBanner(picture, size);
}

// The designed client area and the places, in twips, of the controls that a
// larger window grows or moves.
constexpr int kFormWidth = 11055;
constexpr int kFormHeight = 4530;
struct TwipsPlace {
    int left, top, width, height;
};
constexpr TwipsPlace kImage2{0, -960, 12015, 9255};
constexpr TwipsPlace kListView1{27, 654, 10995, 3495};
constexpr TwipsPlace kFrame1{0, 4200, 11055, 297};

QRect place(TwipsPlace p, int dpi)
{
    return twipsRect(p.left, p.top, p.width, p.height, dpi);
}

// The font shrunk until one line of it fits the label's height, so no glyph is clipped.
QFont fittedFont(QFont font, int height)
{
    while (font.pointSizeF() > 6 && QFontMetrics(font).height() > height)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

} // namespace

Form2::Form2(CheckSettings settings, Browser *browser, MessageBox *messages, QWidget *parent)
    : QWidget(parent)
    , m_browser(browser ? browser : &defaultBrowser())
    , m_messages(messages ? messages : &defaultMessageBox())
    , m_engine(new CheckEngine(std::move(settings), this))
{
    // The controls are created back to front: each stands in front of those made before it.
    const int dpi = logicalDpiX();
    setUpFrame(dpi);
    createList(dpi);
    createQueryControls(dpi);
    QWidget *picture1 = createLauncherHostAndClock(dpi);
    createBannerStrip(dpi);
    m_messageArea = new MessageArea(m_engine, this);
    growWithWindow();
    m_listMenu = createListMenu(m_listView1);
    m_problemFilter = new ProblemFilter(m_sortProxy, m_messageArea, this, this);
    m_listMenu->addAction(m_problemFilter->action());
    m_modeSetting = new ModeSetting(m_engine, this);
    m_listMenu->addAction(m_modeSetting->modernAction());
    m_historySetting = new HistorySetting(m_engine, m_messageArea, defaultHistoryPath(), this);
    m_listMenu->addAction(m_historySetting->recordAction());
    m_baiduAgeSetting = new BaiduAgeSetting(m_engine, m_historySetting, m_listMenu, this);
    ListHost host{this,
                  m_listView1,
                  m_engine,
                  [this] { return selectedRows(); },
                  [this] { return shownRows(); },
                  [this] { return shownFactColumns(); },
                  [this] { openSelectedRow(); },
                  [this] { m_progress->show(); }}; // hidden again when the re-check finishes, as after a query
    m_listActions = new ListActions(host, m_listMenu, m_messages);
    m_historyActions = new HistoryActions(host, m_historySetting, m_messageArea, m_listMenu, m_messages);
    m_changesColumn = new ChangesColumn(m_listView1, m_listModel, m_engine, m_historySetting, m_messageArea, this);
    connect(m_historyActions, &HistoryActions::siteCleared, m_changesColumn, &ChangesColumn::forget);
    m_severalSites = new SeveralSitesAction(this, m_engine, m_listMenu, m_messages);
    m_severalSites->setHistory(m_historySetting);
    m_settingsAction = new SettingsAction(this, m_engine, m_historySetting, m_baiduAgeSetting, m_listMenu, m_messages);
    m_siteHistory = new SiteHistory(m_text1, m_engine, this);
    m_windowGeometry = new WindowGeometry(this, m_listView1, kColumnCount, kFactColumnCount);
    embedLauncher(picture1, dpi);
    // Before the window's own handlers: the button reads "查 询" again before a message box opens.
    m_checkControl = new CheckControl(m_engine, m_text1, m_command1, m_messageArea, [this] { query(); }, this);
    connectSignals();

    m_form9->activate();
    m_timer1.setInterval(100);
    connect(&m_timer1, &QTimer::timeout, this, &Form2::tick);
    m_timer1.start();

    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
}

// Caption, icon, size and the background picture Image2.
void Form2::setUpFrame(int dpi)
{
    setWindowIcon(assets::windowIcon());
    setWindowTitle(applicationTitle() + QStringLiteral(" v8.0") + QString(8, QLatin1Char(' '))
                   + QStringLiteral("www.youlianweishi.example  云帆工作室"));
    // The designed size and the message line below it is the smallest; a larger
    // window gives the extra room to the list.
    setMinimumSize(twips(kFormWidth, dpi), twips(kFormHeight + MessageArea::kHeightTwips, dpi));
    resize(minimumSize());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(214, 226, 240));
    setPalette(pal);

    // First, so every other control stands in front of it.
    auto *image2 = new QLabel(this);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setGeometry(place(kImage2, dpi));
    image2->setScaledContents(true);
    image2->setPixmap(assets::picture(assets::kBackground));
    m_image2 = image2;
}

// ListView1: a view on the engine's results, in the window's colours: the six
// columns, then the fact columns hidden until asked for from the header's menu.
void Form2::createList(int dpi)
{
    m_listView1 = new QTreeView(this);
    m_listView1->setObjectName(QStringLiteral("ListView1"));
    m_listView1->setGeometry(place(kListView1, dpi));
    m_listView1->setRootIsDecorated(false);
    m_listView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listView1->setUniformRowHeights(true);
    m_listView1->setItemDelegate(new OneLineCells(m_listView1));
    m_listModel = new ResultsListModel(m_engine->results(), m_listView1);
    m_sortProxy = new ResultsSortProxy(m_listModel, m_listView1);
    m_sortProxy->setColumnShown([this](int column) { return !m_listView1->isColumnHidden(column); });
    m_listView1->setModel(m_sortProxy);
    m_headerSort = new HeaderSort(m_listView1->header(), m_sortProxy, this, true);
    // A column shown or hidden changes which red cells make a problem row.
    connect(m_listView1->header(), &QHeaderView::sectionResized, m_sortProxy,
            [this](int, int oldSize, int newSize) {
                if ((oldSize == 0) != (newSize == 0))
                    m_sortProxy->refilter();
            });
    m_listView1->header()->setStretchLastSection(false);
    for (const ColumnInfo &c : columns())
        m_listView1->setColumnWidth(static_cast<int>(c.column), c.widthPixels * dpi / 96);
    for (const FactColumnInfo &f : factColumns()) {
        const int column = kColumnCount + static_cast<int>(f.column);
        m_listView1->setColumnWidth(column, f.widthPixels * dpi / 96);
        m_listView1->setColumnHidden(column, true);
    }
    // 变化 stands right after the six, hidden until there is something to compare.
    m_listView1->setColumnWidth(ResultsListModel::kChangesColumn, 160 * dpi / 96);
    m_listView1->setColumnHidden(ResultsListModel::kChangesColumn, true);
    m_listView1->header()->moveSection(ResultsListModel::kChangesColumn, kColumnCount);
    m_listView1->header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_listView1->header(), &QWidget::customContextMenuRequested, this, &Form2::showColumnMenu);
}

// The site box Text1 with its "http://" label, the query button and the note above them.
void Form2::createQueryControls(int dpi)
{
    m_text1 = new QLineEdit(QStringLiteral("www.youlianweishi.example"), this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(twipsRect(1080, 240, 2775, 375, dpi));
    m_text1->setFont(songFont(10.5, true));

    auto *label1 = new QLabel(QStringLiteral("http://"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setGeometry(twipsRect(120, 297, 945, 240, dpi));
    label1->setFont(fittedFont(songFont(12, true), label1->height()));
    label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *command1 = new PictureButton(QStringLiteral("查 询"), assets::picture(assets::kQueryFace),
                                       assets::picture(assets::kQueryFacePressed), this);
    // The picture face carries a magnifier at its left; the caption sits right of it.
    command1->setCaptionInset(12);
    m_command1 = command1;
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(twipsRect(3960, 240, 975, 375, dpi));
    m_command1->setFont(songFont(10.5, true));
    m_command1->setCursor(Qt::PointingHandCursor);

    auto *label2 = new QLabel(QStringLiteral("注意：查询字母不能大写"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setGeometry(twipsRect(120, 0, 4860, 180, dpi));
    label2->setStyleSheet(QStringLiteral("color: rgb(128,128,128); background: rgb(224,224,224);"));
    label2->setFont(fittedFont(songFont(8, false), label2->height()));
}

// Picture1, where the launcher goes, and the clock Label3 above it.
QWidget *Form2::createLauncherHostAndClock(int dpi)
{
    auto *picture1 = new QWidget(this);
    picture1->setObjectName(QStringLiteral("Picture1"));
    picture1->setGeometry(twipsRect(5160, 240, 5775, 375, dpi));

    m_label3 = new QLabel(QStringLiteral("Label3"), this);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setGeometry(twipsRect(5160, 0, 5775, 180, dpi));
    m_label3->setFont(fittedFont(songFont(9, true), m_label3->height()));
    m_label3->setStyleSheet(QStringLiteral("color: rgb(128,128,128);"));
    return picture1;
}

// Frame1: the banner picture, the progress bar at its right end and the check's mode.
void Form2::createBannerStrip(int dpi)
{
    auto *frame1 = new QLabel(this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(place(kFrame1, dpi));
    frame1->setPixmap(bannerPixmap(frame1->size()));

    m_progress = new QProgressBar(frame1);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setTextVisible(false);
    m_progress->setGeometry(frame1->width() - 160, (frame1->height() - 6) / 2, 150, 6);
    m_progress->hide();
    m_bannerNotes = new BannerNotes(m_engine, frame1, 170, this);
    m_bannerStrip = frame1;
}

// The search launcher Form9, embedded into Picture1 just below its top edge.
void Form2::embedLauncher(QWidget *picture1, int dpi)
{
    m_form9 = new Form9(picture1, m_browser, m_messages);
    m_form9->move(0, twips(25, dpi));
    m_form9->show();

    setTabOrder(m_listView1, m_text1);
    setTabOrder(m_text1, m_command1);
    setTabOrder(m_command1, m_form9->searchButton());
}

void Form2::connectSignals()
{
    connect(m_listView1, &QAbstractItemView::doubleClicked, this, [this] { openSelectedRow(); });
    connect(m_engine, &CheckEngine::started, this, &Form2::onStarted);
    connect(m_engine, &CheckEngine::progress, this, &Form2::onProgress);
    connect(m_engine, &CheckEngine::siteFinished, this, &Form2::onSiteFinished);
    connect(m_engine, &CheckEngine::recheckFinished, this, &Form2::onRecheckFinished);
    connect(m_engine, &CheckEngine::stopped, m_progress, &QWidget::hide);
}

Form2::~Form2()
{
    // The list's actions follow the list and the engine: they go first, so no
    // signal of a list half torn down reaches them.
    delete m_listActions;
    m_listActions = nullptr;
    delete m_historyActions;
    m_historyActions = nullptr;
    delete m_changesColumn;
    m_changesColumn = nullptr;
    m_engine->disconnect(this);
    m_engine->cancel();
}

void Form2::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    growWithWindow();
}

// At the designed size every control stands where the design puts it. Room
// beyond it goes to the list; the banner strip and the message line stay below the list across the
// whole width, the background grows with the window, the rest stays put.
void Form2::growWithWindow()
{
    if (!m_bannerStrip)
        return; // still being built
    const int dpi = logicalDpiX();
    const int wider = std::max(0, width() - twips(kFormWidth, dpi));
    const int taller = std::max(0, height() - twips(kFormHeight + MessageArea::kHeightTwips, dpi));
    if (m_messageArea)
        m_messageArea->setGeometry(0, twips(kFormHeight, dpi) + taller, width(), twips(MessageArea::kHeightTwips, dpi));
    m_image2->setGeometry(place(kImage2, dpi).adjusted(0, 0, wider, taller));
    m_listView1->setGeometry(place(kListView1, dpi).adjusted(0, 0, wider, taller));
    const QRect strip = place(kFrame1, dpi).adjusted(0, taller, wider, taller);
    if (strip == m_bannerStrip->geometry())
        return;
    const int grown = strip.width() - m_bannerStrip->width();
    m_bannerStrip->setGeometry(strip);
    m_bannerStrip->setPixmap(bannerPixmap(strip.size()));
    m_progress->move(strip.width() - 160, m_progress->y());
    // The mode stays at the strip's right end, beside the progress bar.
    QLabel *mode = m_bannerNotes->modeLabel();
    mode->move(mode->x() + grown, mode->y());
}

void Form2::tick()
{
    m_label3->setText(clockText(QDateTime::currentDateTime(), QLocale::system()));
}

void Form2::query()
{
    m_form9->keywordBox()->setText(m_text1->text());
    m_engine->start(m_text1->text());
}

void Form2::onStarted(const QString &)
{
    m_progress->setRange(0, 0);
    m_progress->show();
}

QList<int> Form2::selectedRows() const
{
    return m_sortProxy->sourceRows(m_listView1->selectionModel()->selectedRows());
}

QList<int> Form2::shownRows() const
{
    return m_sortProxy->sourceRows();
}

QList<FactColumn> Form2::shownFactColumns() const
{
    QList<FactColumn> shown;
    for (const FactColumnInfo &f : factColumns())
        if (!m_listView1->isColumnHidden(kColumnCount + static_cast<int>(f.column)))
            shown << f.column;
    return shown;
}

QMenu *Form2::showColumnMenu(const QPoint &pos)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QAbstractItemModel *model = m_listView1->model();
    for (int column = 0; column < ResultsModel::kAllColumns; ++column) {
        QAction *action = menu->addAction(model->headerData(column, Qt::Horizontal).toString());
        action->setCheckable(true);
        action->setChecked(!m_listView1->isColumnHidden(column));
        action->setEnabled(column >= kColumnCount);
        connect(action, &QAction::toggled, this, [this, column](bool shown) {
            m_listView1->setColumnHidden(column, !shown);
        });
        if (column == kColumnCount - 1 && m_changesColumn && m_changesColumn->available()) {
            // Where the list shows it; the choice is remembered.
            QAction *changes = menu->addAction(kChangesHeader);
            changes->setObjectName(QStringLiteral("changesColumn"));
            changes->setCheckable(true);
            changes->setChecked(m_changesColumn->chosen());
            connect(changes, &QAction::toggled, m_changesColumn, &ChangesColumn::setChosen);
        }
    }
    menu->popup(m_listView1->header()->viewport()->mapToGlobal(pos));
    return menu;
}

void Form2::onProgress(int done, int total)
{
    m_progress->setRange(0, qMax(total, 1));
    m_progress->setValue(qBound(0, done, qMax(total, 1)));
}

void Form2::onSiteFinished(const SiteResult &result)
{
    m_progress->hide();
    if (!result.outcome.reachable)
        m_messages->show(this, kUnreachableTitle, kUnreachableMessage, MessageIcon::information);
}

void Form2::onRecheckFinished()
{
    m_progress->hide();
}

void Form2::openSelectedRow()
{
    const QList<int> selected = selectedRows();
    if (selected.isEmpty())
        return;
    const QString address = m_engine->results()->row(selected.first()).cells[Column::lianjie].text;
    if (address.isEmpty())
        return;
    if (!m_browser->open(address))
        // The address on a line of its own, to be copied from the box.
        m_messages->show(this, applicationTitle(), QStringLiteral("无法打开浏览器，请复制网址自行打开：\n") + address,
                         MessageIcon::warning);
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        if (m_listActions->copyAction()->isEnabled()) // nothing to copy without a selected row
            m_listActions->copyAction()->trigger();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace friendlinks
