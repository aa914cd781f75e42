#include "app/BannerNotes.h"

#include "check/CheckEngine.h"
#include "check/Messages.h"
#include "ui/Fonts.h"

#include <QLabel>
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
    label->setTextFormat(Qt::PlainText);
    label->hide();
    return label;
}

} // namespace

BannerNotes::BannerNotes(CheckEngine *engine, QWidget *bannerStrip, int reservedRight, QObject *parent)
    : QObject(parent)
{
    m_mode = stripLabel(bannerStrip, "modeNote");
    m_mode->setGeometry(std::max(0, bannerStrip->width() - reservedRight - kModeWidth), 0, kModeWidth,
                        bannerStrip->height());
    m_mode->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    connect(engine, &CheckEngine::started, this, [this, engine] {
        m_mode->setText(modeName(engine->results()->outcome().modern));
        m_mode->show();
    });
    connect(engine, &CheckEngine::siteFinished, this, &BannerNotes::showResult);
    connect(engine, &CheckEngine::recheckFinished, this, &BannerNotes::showResult);
}

void BannerNotes::showResult(const SiteResult &result)
{
    m_mode->setText(modeName(result.modern()));
    m_mode->show();
}

} // namespace friendlinks
