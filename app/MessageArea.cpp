#include "app/MessageArea.h"

#include "check/CheckEngine.h"
#include "check/Messages.h"
#include "check/TextEscape.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QPainter>
#include <QTextDocument>

namespace friendlinks {
namespace {

// Dark on light, as a status line reads: red and grey keep a contrast of at least 4.5:1.
const QColor kBackground(248, 248, 248);
const QColor kRule(176, 188, 204);
QColor colourOf(Message::Tone tone)
{
    switch (tone) {
    case Message::Tone::Error: return {192, 0, 0};
    case Message::Tone::Quiet: return {104, 104, 104};
    case Message::Tone::Normal: break;
    }
    return {24, 24, 24};
}

const QString kSeparator = QStringLiteral("  |  ");
constexpr int kPadding = 6;

} // namespace

MessageArea::MessageArea(CheckEngine *engine, QWidget *parent)
    : QWidget(parent)
    , m_engine(engine)
{
    setObjectName(QStringLiteral("messageArea"));
    QFont face = QApplication::font();
    face.setPointSizeF(9);
    setFont(face);

    m_copy = new QAction(QStringLiteral("复制"), this);
    m_copy->setObjectName(QStringLiteral("copyMessages"));
    connect(m_copy, &QAction::triggered, this,
            [this] { QApplication::clipboard()->setText(texts().join(QLatin1Char('\n'))); });
    addAction(m_copy);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(engine, &CheckEngine::started, this, &MessageArea::clear);
    connect(engine, &CheckEngine::baiduBlocked, this, [this] {
        addInFront({Message{Message::Tone::Normal, kBaiduBlockedMessage, true}});
    });
    connect(engine, &CheckEngine::siteFinished, this, &MessageArea::showResult);
    connect(engine, &CheckEngine::recheckFinished, this, &MessageArea::showResult);
    connect(engine, &CheckEngine::stopped, this, [this](int checked, int total) {
        addInFront({Message{Message::Tone::Normal, stoppedText(checked, total)},
                    Message{Message::Tone::Quiet, countsText(m_engine->results()->rows())}});
    });
    changed();
}

QStringList MessageArea::texts() const
{
    QStringList out;
    for (const Message &message : m_messages)
        out << message.text;
    return out;
}

void MessageArea::showResult(const SiteResult &result)
{
    m_messages.removeIf([](const Message &message) { return message.provisional; });
    addInFront(checkMessages(result));
}

void MessageArea::addNote(const QString &text, Message::Tone tone)
{
    addInFront({Message{tone, escapeForDisplay(text)}});
}

void MessageArea::clear()
{
    m_messages.clear();
    changed();
}

void MessageArea::setStatus(const QString &status)
{
    if (status == m_status)
        return;
    m_status = status;
    update();
}

void MessageArea::addInFront(const QList<Message> &messages)
{
    m_messages = messages + m_messages;
    changed();
}

void MessageArea::changed()
{
    m_copy->setEnabled(!m_messages.isEmpty());
    // Every message in full, escaped for the tip's rich text.
    setToolTip(m_messages.isEmpty() ? QString() : Qt::convertFromPlainText(texts().join(QLatin1Char('\n'))));
    update();
}

QSize MessageArea::sizeHint() const
{
    return {200, QFontMetrics(font()).height() + 6};
}

void MessageArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kRule);
    painter.drawLine(0, 0, width(), 0);
    const QFontMetrics metrics(font());
    int right = width() - kPadding;
    if (!m_status.isEmpty()) {
        const int statusWidth = metrics.horizontalAdvance(m_status);
        painter.setPen(colourOf(Message::Tone::Quiet));
        painter.drawText(QRect(0, 0, right, height()), Qt::AlignRight | Qt::AlignVCenter, m_status);
        right -= statusWidth + metrics.horizontalAdvance(kSeparator);
    }
    const int baseline = (height() + metrics.ascent() - metrics.descent()) / 2 + 1;
    int x = kPadding;
    for (qsizetype i = 0; i < m_messages.size() && x < right; ++i) {
        if (i > 0) {
            // No separator without room for the next message's first characters.
            if (x + metrics.horizontalAdvance(kSeparator + QStringLiteral("……")) > right)
                break;
            painter.setPen(colourOf(Message::Tone::Quiet));
            painter.drawText(x, baseline, kSeparator);
            x += metrics.horizontalAdvance(kSeparator);
        }
        const QString shown = metrics.elidedText(m_messages[i].text, Qt::ElideRight, std::max(0, right - x));
        painter.setPen(colourOf(m_messages[i].tone));
        painter.drawText(x, baseline, shown);
        x += metrics.horizontalAdvance(shown);
        if (shown != m_messages[i].text)
            break;
    }
}

} // namespace friendlinks
