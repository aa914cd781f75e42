#include "app/BannerNotes.h"

#include "check/CheckEngine.h"
#include "check/Messages.h"
#include "check/TextEscape.h"
#include "ui/Fonts.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPalette>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace friendlinks {
namespace {

constexpr int kModeWidth = 64;

QLabel *stripLabel(QWidget *strip, const char *name)
{
    auto *label = new QLabel(strip);
    label->setObjectName(QLatin1String(name));
    label->setFont(songFont(9, false));
    label->setStyleSheet(QStringLiteral("color: white;"));
    label->setTextFormat(Qt::PlainText); // a transport's words are no markup
    label->hide();
    return label;
}

} // namespace

QString bannerText(const QList<CheckNote> &notes)
{
    using Kind = CheckNote::Kind;
    const bool certificateSaysWhy = std::any_of(notes.begin(), notes.end(), [](const CheckNote &note) {
        return note.kind == Kind::SiteCertificate;
    });
    QStringList parts;
    for (const CheckNote &note : notes) {
        switch (note.kind) {
        case Kind::Mode:
            break; // at the strip's right
        case Kind::Unreachable:
            if (!certificateSaysWhy) // the certificate's note says why in full; the message box says the rest
                parts << note.text;
            break;
        case Kind::SkippedLinks:
            parts << QStringLiteral("%1，在列表右键菜单勾选“%2”一并检查").arg(note.text, kModernModeCaption);
            break;
        default:
            parts << note.text;
            break;
        }
    }
    return escapeForDisplay(parts.join(QStringLiteral("；")));
}

BannerNotes::BannerNotes(CheckEngine *engine, QWidget *bannerStrip, int reservedRight, QObject *parent)
    : QObject(parent)
{
    m_mode = stripLabel(bannerStrip, "modeNote");
    m_mode->setGeometry(std::max(0, bannerStrip->width() - reservedRight - kModeWidth), 0, kModeWidth,
                        bannerStrip->height());
    m_mode->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_note = stripLabel(bannerStrip, "bannerNote");
    m_note->setGeometry(6, 0, std::max(0, bannerStrip->width() - reservedRight - kModeWidth - 12),
                        bannerStrip->height());
    m_strip = bannerStrip;
    coverStripTitle();
    bannerStrip->installEventFilter(this);

    connect(engine, &CheckEngine::started, this, [this, engine] {
        m_note->hide();
        m_mode->setText(modeName(engine->results()->outcome().modern));
        m_mode->show();
    });
    connect(engine, &CheckEngine::baiduBlocked, this, [this] { showNote(kBaiduBlockedMessage); });
    connect(engine, &CheckEngine::siteFinished, this, &BannerNotes::showResult);
    connect(engine, &CheckEngine::recheckFinished, this, &BannerNotes::showResult);
}

void BannerNotes::showResult(const SiteResult &result)
{
    m_mode->setText(modeName(result.modern()));
    m_mode->show();
    const QString text = bannerText(checkNotes(result));
    if (text.isEmpty())
        m_note->hide();
    else
        showNote(text);
}

void BannerNotes::addNote(const QString &text, bool first)
{
    const QString shown = escapeForDisplay(text);
    if (!m_note->isVisible() || m_note->text().isEmpty())
        showNote(shown);
    else
        showNote(first ? shown + QStringLiteral("；") + m_note->text() : m_note->text() + QStringLiteral("；") + shown);
}

bool BannerNotes::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_strip && event->type() == QEvent::Resize)
        coverStripTitle();
    return QObject::eventFilter(watched, event);
}

void BannerNotes::coverStripTitle()
{
    // The banner picture's gradient (assets/make_assets), across the whole strip.
    QLinearGradient blues(-m_note->x(), 0, m_strip->width() - m_note->x(), 0);
    blues.setColorAt(0, QColor(18, 62, 128));
    blues.setColorAt(0.6, QColor(46, 112, 186));
    blues.setColorAt(1, QColor(120, 178, 230));
    QPalette palette = m_note->palette();
    palette.setBrush(QPalette::Window, blues);
    m_note->setPalette(palette);
    m_note->setAutoFillBackground(true);
}

void BannerNotes::showNote(const QString &text)
{
    m_note->setText(text);
    m_note->setToolTip(text);
    m_note->show();
}

} // namespace friendlinks
