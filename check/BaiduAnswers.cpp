#include "check/BaiduAnswers.h"

#include "check/CheckMode.h"
#include "check/HistoryStore.h"
#include "check/RowSchema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace friendlinks {
namespace {

constexpr Column kBaiduColumns[] = {Column::shoulu, Column::kuaizhao, Column::rp};

const FactField &baiduField()
{
    for (const FactField &field : factFields())
        if (field.key && qstrcmp(field.key, "baidu") == 0)
            return field;
    Q_UNREACHABLE();
}

const Cell &cellOf(const BaiduAnswer &answer, Column column)
{
    return column == Column::shoulu ? answer.shoulu : column == Column::kuaizhao ? answer.kuaizhao : answer.rp;
}

QString modeName(bool modern)
{
    return modern ? kModernModeName : kClassicModeName;
}

// Whole seconds, as the row's json writes the time.
QDateTime toSeconds(const QDateTime &time)
{
    return QDateTime::fromSecsSinceEpoch(time.toSecsSinceEpoch(), Qt::UTC);
}

} // namespace

QByteArray baiduAnswerJson(const BaiduAnswer &answer)
{
    QJsonObject object;
    QJsonArray red;
    for (const Column column : kBaiduColumns) {
        const Cell &cell = cellOf(answer, column);
        const QLatin1String key(cellFields()[size_t(column)].column.key);
        object.insert(key, cell.text);
        if (cell.red)
            red.append(key);
    }
    object.insert(QLatin1String("red"), red);
    RowFacts facts;
    facts.baidu = answer.facts;
    facts.baidu->cachedAt = {};
    object.insert(QLatin1String("baidu"), QJsonDocument::fromJson(baiduField().toJson(facts).toUtf8()).object());
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<BaiduAnswer> readBaiduAnswer(const QByteArray &json, bool modern)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonObject object = document.object();
    if (!document.isObject() || !object.value(QLatin1String("baidu")).isObject())
        return std::nullopt;
    ResultRow row;
    const QJsonArray red = object.value(QLatin1String("red")).toArray();
    for (const Column column : kBaiduColumns) {
        const QLatin1String key(cellFields()[size_t(column)].column.key);
        row.cells[column] = Cell{object.value(key).toString(), red.contains(QJsonValue(key))};
    }
    baiduField().fromJson(object.value(QLatin1String("baidu")), row.facts);
    if (!row.facts.baidu)
        return std::nullopt;
    // The index count and the rank, read from the cells as the check that wrote them did.
    for (const Column column : kBaiduColumns)
        if (const auto readValue = cellFields()[size_t(column)].readValue)
            readValue(row, modern);
    BaiduAnswer answer{row.cells[Column::shoulu], row.cells[Column::kuaizhao], row.cells[Column::rp], *row.facts.baidu};
    answer.facts.cachedAt = {};
    return answer;
}

bool isKeptAnswer(const BaiduFacts &facts)
{
    return facts.state == BaiduState::Ok || facts.state == BaiduState::NoResult;
}

BaiduAnswers::BaiduAnswers(qint64 maxAgeMs, QString historyPath, Clock clock)
    : m_maxAgeMs(std::max<qint64>(0, maxAgeMs))
    , m_path(std::move(historyPath))
    , m_clock(std::move(clock))
{
}

BaiduAnswers::~BaiduAnswers() = default;

QDateTime BaiduAnswers::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
}

std::optional<BaiduAnswer> BaiduAnswers::fresh(const QString &query, bool modern)
{
    if (!isOn() || m_askAnew)
        return std::nullopt;
    return find(query, modern, now().addMSecs(-m_maxAgeMs));
}

std::optional<BaiduAnswer> BaiduAnswers::newest(const QString &query, bool modern)
{
    if (!isOn())
        return std::nullopt;
    return find(query, modern, {});
}

std::optional<BaiduAnswer> BaiduAnswers::find(const QString &query, bool modern, const QDateTime &notBefore)
{
    const QString key = modeName(modern) + QLatin1Char(' ') + query;
    const auto marked = [](const Kept &kept) {
        BaiduAnswer answer = kept.answer;
        if (!kept.thisRun)
            answer.facts.cachedAt = toSeconds(kept.askedAt);
        return answer;
    };
    const auto known = m_kept.constFind(key);
    if (known != m_kept.cend() && (!notBefore.isValid() || known->askedAt >= notBefore))
        return marked(*known);
    HistoryStore *history = store();
    if (!history)
        return std::nullopt;
    const std::optional<HistoryStore::BaiduAnswer> recorded = history->baiduAnswer(query, modeName(modern), notBefore);
    if (!recorded)
        return std::nullopt;
    const std::optional<BaiduAnswer> answer = readBaiduAnswer(recorded->answer, modern);
    if (!answer)
        return std::nullopt; // not one this version can read: asked anew
    if (known != m_kept.cend() && known->askedAt >= recorded->askedAt)
        return marked(*known);
    return marked(*m_kept.insert(key, Kept{recorded->askedAt, *answer, false}));
}

void BaiduAnswers::keep(const QString &query, bool modern, const BaiduAnswer &answer)
{
    if (!isOn() || !isKeptAnswer(answer.facts))
        return;
    const QDateTime askedAt = now();
    Kept kept{askedAt, answer, true};
    kept.answer.facts.cachedAt = {};
    m_kept.insert(modeName(modern) + QLatin1Char(' ') + query, kept);
    if (HistoryStore *history = store(); history && !history->recordBaiduAnswer(query, modeName(modern), askedAt,
                                                                              baiduAnswerJson(kept.answer)))
        m_store.reset(); // the run goes on with what it has in memory
}

HistoryStore *BaiduAnswers::store()
{
    if (!m_storeTried && !m_path.isEmpty()) {
        m_storeTried = true;
        m_store = std::make_unique<HistoryStore>();
        if (!m_store->open(m_path))
            m_store.reset();
    }
    return m_store.get();
}

} // namespace friendlinks
