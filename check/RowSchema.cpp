#include "check/RowSchema.h"

#include "check/CheckRules.h"
#include "check/JsonText.h"
#include "probes/BaiduProbe.h"
#include "web/FetchResult.h"

#include <QJsonArray>
#include <QJsonObject>

#include <limits>

namespace friendlinks {
namespace {

const QString kYes = QStringLiteral("是");
const QString kNo = QStringLiteral("否");
const QString kNull = QStringLiteral("null");

Cell yesNo(const std::optional<bool> &fact)
{
    if (!fact)
        return {};
    return {*fact ? kYes : kNo, *fact};
}

std::optional<bool> nofollow(const std::optional<BackLinkFacts> &anchor)
{
    return anchor ? std::optional<bool>(!anchor->follow) : std::nullopt;
}

IndexPages pagesOf(const ResultRow &row)
{
    return row.facts.baidu ? row.facts.baidu->pages : std::nullopt;
}

// {"href", "rel", "follow"} and, when known (modern), "url"; null for none.
QString anchorJson(const std::optional<BackLinkFacts> &anchor)
{
    if (!anchor)
        return kNull;
    QStringList rel;
    for (const QString &token : anchor->rel)
        rel << jsonString(token);
    QString out = QStringLiteral("{\"href\": %1, \"rel\": [%2], \"follow\": %3")
                      .arg(jsonString(anchor->href), rel.join(QStringLiteral(", ")), jsonBool(anchor->follow));
    if (!anchor->url.isEmpty()) // modern's key after the keys of old; classic's objects stay as they were
        out += QStringLiteral(", \"url\": ") + jsonString(anchor->url);
    if (!anchor->via.isEmpty()) // a jump link only
        out += QStringLiteral(", \"via\": ") + jsonString(anchor->via);
    if (!anchor->where.isEmpty())
        out += QStringLiteral(", \"where\": ") + jsonString(anchor->where);
    if (!anchor->hiddenBy.isEmpty())
        out += QStringLiteral(", \"hidden_by\": ") + jsonString(anchor->hiddenBy);
    return out + QLatin1Char('}');
}

std::optional<BackLinkFacts> readAnchor(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    BackLinkFacts anchor;
    anchor.href = object.value(QLatin1String("href")).toString();
    for (const QJsonValue &token : object.value(QLatin1String("rel")).toArray())
        anchor.rel << token.toString();
    anchor.follow = object.value(QLatin1String("follow")).toBool(true);
    anchor.url = object.value(QLatin1String("url")).toString();
    anchor.via = object.value(QLatin1String("via")).toString();
    anchor.where = object.value(QLatin1String("where")).toString();
    anchor.hiddenBy = object.value(QLatin1String("hidden_by")).toString();
    return anchor;
}

// "2026-12-09T08:00:00Z".
QString isoUtc(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODate);
}

BaiduState baiduStateNamed(const QString &name)
{
    for (const BaiduState state : {BaiduState::Ok, BaiduState::NoResult, BaiduState::Blocked, BaiduState::UnknownPage})
        if (baiduStateName(state) == name)
            return state;
    return BaiduState::Unreachable;
}

std::optional<BaiduFacts> readBaidu(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    BaiduFacts baidu;
    baidu.state = baiduStateNamed(object.value(QLatin1String("state")).toString());
    const QJsonValue count = object.value(QLatin1String("count"));
    if (count.isString())
        baidu.count = count.toString();
    else if (count.isDouble() && count.toDouble() >= 0) // as some versions wrote it
        baidu.count = QString::number(count.toDouble(), 'f', 0);
    const QDateTime cachedAt =
        QDateTime::fromString(object.value(QLatin1String("cached_at")).toString(), Qt::ISODate).toUTC();
    if (cachedAt.isValid())
        baidu.cachedAt = cachedAt;
    return baidu;
}

// {"state", "count"} and, for an earlier check's answer only, "cached_at":
// other rows keep the object they always had.
QString baiduJson(const RowFacts &f)
{
    if (!f.baidu)
        return kNull;
    const QString cached = f.baidu->cachedAt.isValid()
        ? QStringLiteral(", \"cached_at\": ") + jsonString(isoUtc(f.baidu->cachedAt))
        : QString();
    return QStringLiteral("{\"state\": %1, \"count\": %2%3}")
        .arg(jsonString(baiduStateName(f.baidu->state)), f.baidu->count ? jsonString(*f.baidu->count) : kNull, cached);
}

// The typed values behind the cells: what the check that wrote the row knew
// when it wrote these texts and flags.

// A link back that passes weight is a cell not red. A red cell: modern's
// anchor that passes nothing (the anchor fact is there), "没有链接" (the page
// was read), or a page not read (classic's "访问太慢"/"无知错误", modern's
// error page and failure texts). An empty cell is not probed.
void readBackLinkVerdict(ResultRow &row, bool modern)
{
    const Cell &cell = row.cells[Column::fanlian];
    BackLinkVerdict &verdict = row.facts.backlinkVerdict;
    if (!cell.red)
        verdict = cell.text.isEmpty() ? BackLinkVerdict::Unknown : BackLinkVerdict::Linked;
    else if (modern && row.facts.backlink)
        verdict = BackLinkVerdict::PassesNothing;
    else
        verdict = cell.text == kNoLink ? BackLinkVerdict::NoLink : BackLinkVerdict::NotRead;
}

// The count of today's Baidu page when the answer had one, else the number the shoulu cell shows.
void readIndexPages(ResultRow &row, bool)
{
    if (!row.facts.baidu)
        return;
    row.facts.baidu->pages = rowIndexPages(row.facts.baidu->count, row.cells[Column::shoulu].text);
}

void readRank(ResultRow &row, bool)
{
    if (!row.facts.baidu)
        return;
    const QString &text = row.cells[Column::rp].text;
    row.facts.baidu->rank = text == kHomePageFirst ? RankVerdict::HomeFirst
        : text == kNotFirst                        ? RankVerdict::NotFirst
                                                   : RankVerdict::Unknown;
}

bool backLinkRedByText(const QString &text)
{
    return text == kNoLink || text == kEmptyBody || text == kTooSlow;
}

bool rankRedByText(const QString &text)
{
    return text == kNotFirst;
}

bool isLost(BackLinkVerdict verdict)
{
    return verdict == BackLinkVerdict::NoLink || verdict == BackLinkVerdict::NotRead
        || verdict == BackLinkVerdict::PassesNothing;
}

QList<FieldChange> backLinkDiff(const ResultRow &o, const ResultRow &n)
{
    const BackLinkVerdict before = o.facts.backlinkVerdict, after = n.facts.backlinkVerdict;
    const QString &oldText = o.cells[Column::fanlian].text, &newText = n.cells[Column::fanlian].text;
    if (before == BackLinkVerdict::Linked && isLost(after))
        return {{kChangeBacklinkLost, oldText, newText}};
    if (isLost(before) && after == BackLinkVerdict::Linked)
        return {{kChangeBacklinkBack, oldText, newText}};
    return {};
}

QList<FieldChange> indexDiff(const ResultRow &o, const ResultRow &n)
{
    const IndexPages before = pagesOf(o), after = pagesOf(n);
    if (before && after && isIndexDrop(*before, *after))
        return {{kChangeIndexDrop, QString::number(*before), QString::number(*after)}};
    return {};
}

QList<FieldChange> rankDiff(const ResultRow &o, const ResultRow &n)
{
    const auto rank = [](const ResultRow &row) { return row.facts.baidu ? row.facts.baidu->rank : RankVerdict::Unknown; };
    const QString &oldText = o.cells[Column::rp].text, &newText = n.cells[Column::rp].text;
    if (rank(o) == RankVerdict::HomeFirst && rank(n) == RankVerdict::NotFirst)
        return {{kChangeRankLost, oldText, newText}};
    if (rank(o) == RankVerdict::NotFirst && rank(n) == RankVerdict::HomeFirst)
        return {{kChangeRankBack, oldText, newText}};
    return {};
}

QList<FieldChange> nofollowDiff(const ResultRow &o, const ResultRow &n)
{
    const std::optional<BackLinkFacts> &before = o.facts.backlink, &after = n.facts.backlink;
    if (!before || !after || before->follow == after->follow)
        return {};
    return {{before->follow ? kChangeNofollowAdded : kChangeNofollowRemoved, jsonBool(before->follow),
             jsonBool(after->follow)}};
}

// The link back as a whole, in the order people read a row: whether it is
// there, then whether it passes weight.
QList<FieldChange> linkBackDiff(const ResultRow &o, const ResultRow &n)
{
    return backLinkDiff(o, n) + nofollowDiff(o, n);
}

// {"baiduspider_allowed": true|false|null, "rule": "Disallow: /" or null}; null when not asked.
QString robotsJson(const RowFacts &f)
{
    if (!f.robots)
        return kNull;
    const std::optional<bool> &allowed = f.robots->baiduspiderAllowed;
    return QStringLiteral("{\"baiduspider_allowed\": %1, \"rule\": %2}")
        .arg(allowed ? jsonBool(*allowed) : kNull, f.robots->rule.isEmpty() ? kNull : jsonString(f.robots->rule));
}

std::optional<RobotsFacts> readRobots(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue allowed = object.value(QLatin1String("baiduspider_allowed"));
    return RobotsFacts{allowed.isBool() ? std::optional(allowed.toBool()) : std::nullopt,
                       object.value(QLatin1String("rule")).toString()};
}

// {"status": 200, "backlink": true|false|null}; null when not fetched.
QString spiderViewJson(const RowFacts &f)
{
    if (!f.spiderView)
        return kNull;
    const std::optional<bool> &backlink = f.spiderView->backlink;
    return QStringLiteral("{\"status\": %1, \"backlink\": %2}")
        .arg(QString::number(f.spiderView->status), backlink ? jsonBool(*backlink) : kNull);
}

std::optional<SpiderViewFacts> readSpiderView(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue backlink = object.value(QLatin1String("backlink"));
    return SpiderViewFacts{object.value(QLatin1String("status")).toInt(0),
                           backlink.isBool() ? std::optional(backlink.toBool()) : std::nullopt};
}

bool robotsBlocked(const RowFacts &f)
{
    return f.robots && f.robots->baiduspiderAllowed == false;
}

QString jumpVia(const RowFacts &f)
{
    return f.backlink ? f.backlink->via : QString();
}

QList<FieldChange> robotsDiff(const ResultRow &o, const ResultRow &n)
{
    if (!o.facts.robots || o.facts.robots->baiduspiderAllowed != true || !robotsBlocked(n.facts))
        return {};
    return {{kChangeRobotsBlocked, QString(), n.facts.robots->rule}};
}

QList<FieldChange> spiderDiff(const ResultRow &o, const ResultRow &n)
{
    if (spiderHidden(o.facts) != false || spiderHidden(n.facts) != true)
        return {};
    return {{kChangeSpiderHidden, jsonBool(true), jsonBool(n.facts.spiderView->backlink.value_or(false))}};
}

// A link back that went to us straight (or was not there) now goes through a jump.
QList<FieldChange> jumpDiff(const ResultRow &o, const ResultRow &n)
{
    if (o.facts.backlinkVerdict == BackLinkVerdict::Unknown || !jumpVia(o.facts).isEmpty() || jumpVia(n.facts).isEmpty())
        return {};
    return {{kChangeJumpLink, o.cells[Column::fanlian].text, jumpVia(n.facts)}};
}

// The facts of a link back a partner keeps from Baidu's spider, after the others.
QList<FactField> keptFromBaiduFields()
{
    return {
        {"robots", FactColumnInfo{FactColumn::robotsBlocked, QStringLiteral("robots禁止百度"),
                                  QStringLiteral("对方的robots.txt禁止百度蜘蛛抓取对方首页，链接不会被抓取"), 90},
         [](const RowFacts &f) {
             return yesNo(f.robots && f.robots->baiduspiderAllowed ? std::optional(robotsBlocked(f)) : std::nullopt);
         },
         robotsJson, [](const QJsonValue &v, RowFacts &f) { f.robots = readRobots(v); }, robotsDiff},
        {"spider_view", FactColumnInfo{FactColumn::spiderHidden, QStringLiteral("对蜘蛛隐藏"),
                                       QStringLiteral("以百度蜘蛛的User-Agent再取一次对方首页，反链与浏览器所见不同"), 80},
         [](const RowFacts &f) { return yesNo(spiderHidden(f)); },
         spiderViewJson, [](const QJsonValue &v, RowFacts &f) { f.spiderView = readSpiderView(v); }, spiderDiff},
        // The jump address: written inside "backlink" as "via".
        {nullptr, FactColumnInfo{FactColumn::jumpVia, QStringLiteral("跳转地址"),
                                 QStringLiteral("反链经对方网站的跳转地址才到本站，权重留在对方"), 150},
         [](const RowFacts &f) { return jumpVia(f).isEmpty() ? Cell{} : Cell{jumpVia(f), true}; }, nullptr, nullptr,
         jumpDiff},
    };
}

QString whereOf(const RowFacts &facts)
{
    return facts.backlink ? facts.backlink->where : QString();
}

QString hiddenByOf(const RowFacts &facts)
{
    return facts.backlink ? facts.backlink->hiddenBy : QString();
}

// "页面", "脚本", "框架": where modern mode found the link back; red where no spider follows it.
Cell whereCell(const RowFacts &facts)
{
    const QString where = whereOf(facts);
    if (where == QLatin1String("page"))
        return {QStringLiteral("页面")};
    if (where == QLatin1String("script"))
        return {QStringLiteral("脚本"), true};
    if (where == QLatin1String("frame"))
        return {QStringLiteral("框架"), true};
    return {};
}

// The link back moved where no spider follows it: into script text or a frame page.
QList<FieldChange> whereDiff(const ResultRow &o, const ResultRow &n)
{
    const QString before = whereOf(o.facts), after = whereOf(n.facts);
    if (before.isEmpty() || before == after)
        return {};
    if (after == QLatin1String("script"))
        return {{kChangeScriptLink, before, after}};
    if (after == QLatin1String("frame"))
        return {{kChangeFrameLink, before, after}};
    return {};
}

QList<FieldChange> hiddenByDiff(const ResultRow &o, const ResultRow &n)
{
    const QString after = hiddenByOf(n.facts);
    if (!o.facts.backlink || !hiddenByOf(o.facts).isEmpty() || after.isEmpty())
        return {};
    return {{kChangeCssHidden, QString(), after}};
}

// Where modern mode found the link back (backlink.where).
FactField whereField()
{
    return {nullptr, FactColumnInfo{FactColumn::backlinkWhere, QStringLiteral("反链位置"),
                                    QStringLiteral("指回本站的链接在哪里：页面本身，脚本写入（蜘蛛不执行脚本），或框架页里"), 70},
            whereCell, nullptr, nullptr, whereDiff};
}

// What of the page's style hides the link back (backlink.hidden_by).
FactField hiddenByField()
{
    return {nullptr, FactColumnInfo{FactColumn::backlinkHiddenBy, QStringLiteral("反链隐藏"),
                                    QStringLiteral("页面的样式或上层元素把指回本站的链接藏起来的规则，如 display:none (div.flink)"), 150},
            [](const RowFacts &f) { return hiddenByOf(f).isEmpty() ? Cell{} : Cell{hiddenByOf(f), true}; }, nullptr,
            nullptr, hiddenByDiff};
}

} // namespace

bool isRegression(const QString &change)
{
    return change == kChangeRemoved || change == kChangeBacklinkLost || change == kChangeNofollowAdded
        || change == kChangeIndexDrop || change == kChangeRankLost || change == kChangeUnreachable
        || change == kChangeRobotsBlocked || change == kChangeSpiderHidden || change == kChangeJumpLink
        || change == kChangeScriptLink || change == kChangeFrameLink || change == kChangeCssHidden;
}

const std::array<CellField, kColumnCount> &cellFields()
{
    static const std::array<CellField, kColumnCount> table{{
        {{Column::lianjie, "lianjie", QStringLiteral("网站地址"), 150}, nullptr, nullptr, nullptr},
        {{Column::guanjianzi, "guanjianzi", QStringLiteral("网站名字"), 100}, nullptr, nullptr, nullptr},
        {{Column::fanlian, "fanlian", QStringLiteral("反链关键字"), 100}, readBackLinkVerdict, backLinkRedByText,
         linkBackDiff},
        {{Column::shoulu, "shoulu", QStringLiteral("百度收录"), 100}, readIndexPages, nullptr, indexDiff},
        {{Column::kuaizhao, "kuaizhao", QStringLiteral("百度快照"), 100}, nullptr, nullptr, nullptr},
        {{Column::rp, "rp", QStringLiteral("百度site首页"), 100}, readRank, rankRedByText, rankDiff},
    }};
    return table;
}

const QList<FactField> &factFields()
{
    static const QList<FactField> table = QList<FactField>{
        {"status", FactColumnInfo{FactColumn::status, QStringLiteral("HTTP状态"), QStringLiteral("对方首页应答的HTTP状态码，0为没有应答"), 70},
         [](const RowFacts &f) { return Cell{QString::number(f.status)}; },
         [](const RowFacts &f) { return QString::number(f.status); },
         [](const QJsonValue &v, RowFacts &f) { f.status = v.toInt(0); }, nullptr},
        {"final_url", FactColumnInfo{FactColumn::finalUrl, QStringLiteral("最终地址"), QStringLiteral("跳转之后实际读到对方首页的地址"), 150},
         [](const RowFacts &f) { return Cell{f.finalUrl}; },
         [](const RowFacts &f) { return jsonString(f.finalUrl); },
         [](const QJsonValue &v, RowFacts &f) { f.finalUrl = v.toString(); }, nullptr},
        {"ms", FactColumnInfo{FactColumn::ms, QStringLiteral("用时ms"), QStringLiteral("从发出请求到应答结束（或超时）的毫秒数"), 60},
         [](const RowFacts &f) { return Cell{QString::number(f.ms)}; },
         [](const RowFacts &f) { return QString::number(f.ms); },
         [](const QJsonValue &v, RowFacts &f) { f.ms = v.toInteger(0); }, nullptr},
        {"backlink", FactColumnInfo{FactColumn::backlinkNofollow, QStringLiteral("反链nofollow"),
                                    QStringLiteral("指回本站的链接带nofollow、sponsored或ugc，不传递权重"), 90},
         [](const RowFacts &f) { return yesNo(nofollow(f.backlink)); },
         [](const RowFacts &f) { return anchorJson(f.backlink); },
         [](const QJsonValue &v, RowFacts &f) { f.backlink = readAnchor(v); }, nullptr},
        {"page_nofollow", FactColumnInfo{FactColumn::pageNofollow, QStringLiteral("页面nofollow"),
                                         QStringLiteral("对方页面的meta robots或X-Robots-Tag要求搜索引擎不跟踪其链接"), 90},
         [](const RowFacts &f) { return yesNo(f.pageNofollow); },
         [](const RowFacts &f) { return f.pageNofollow ? jsonBool(*f.pageNofollow) : kNull; },
         [](const QJsonValue &v, RowFacts &f) { f.pageNofollow = v.isBool() ? std::optional(v.toBool()) : std::nullopt; },
         nullptr},
        {"outbound", FactColumnInfo{FactColumn::outbound, QStringLiteral("对方外链数"),
                                    QStringLiteral("对方首页指向其他网站的链接数，重复的也算"), 80},
         [](const RowFacts &f) { return f.outbound ? Cell{QString::number(*f.outbound)} : Cell{}; },
         [](const RowFacts &f) { return f.outbound ? QString::number(*f.outbound) : kNull; },
         [](const QJsonValue &v, RowFacts &f) { f.outbound = v.isDouble() ? std::optional(v.toInt()) : std::nullopt; },
         nullptr},
        {"baidu", FactColumnInfo{FactColumn::baiduState, QStringLiteral("百度状态"),
                                 QStringLiteral("百度应答：ok有结果，no_result无收录，blocked要求安全验证，unreachable无应答，unknown_page看不懂"), 90},
         [](const RowFacts &f) {
             return f.baidu ? Cell{baiduStateName(f.baidu->state), f.baidu->state == BaiduState::Blocked} : Cell{};
         },
         baiduJson, [](const QJsonValue &v, RowFacts &f) { f.baidu = readBaidu(v); }, nullptr},
        // Today's count phrase, digits and commas: written inside "baidu".
        {nullptr, FactColumnInfo{FactColumn::baiduCount, QStringLiteral("百度收录(新)"),
                                 QStringLiteral("百度新版页面写的收录数，仅供参考，百度收录列不变"), 90},
         [](const RowFacts &f) { return f.baidu && f.baidu->count ? Cell{*f.baidu->count} : Cell{}; }, nullptr, nullptr,
         nullptr},
        {"tls_error", std::nullopt, nullptr,
         [](const RowFacts &f) { return f.tlsError.isEmpty() ? kNull : jsonString(f.tlsError); },
         [](const QJsonValue &v, RowFacts &f) { f.tlsError = v.toString(); }, nullptr},
        {"our_link", FactColumnInfo{FactColumn::ourNofollow, QStringLiteral("我方nofollow"),
                                    QStringLiteral("本站指向对方的链接带nofollow、sponsored或ugc，交换不对等"), 90},
         [](const RowFacts &f) { return yesNo(nofollow(f.ourLink)); },
         [](const RowFacts &f) { return anchorJson(f.ourLink); },
         [](const QJsonValue &v, RowFacts &f) { f.ourLink = readAnchor(v); }, nullptr},
    } + keptFromBaiduFields() + QList<FactField>{
        whereField(), hiddenByField(), // modern mode's, written inside "backlink"
    };
    return table;
}

const std::array<ColumnInfo, kColumnCount> &columns()
{
    static const std::array<ColumnInfo, kColumnCount> table = [] {
        std::array<ColumnInfo, kColumnCount> out{};
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = cellFields()[i].column;
        return out;
    }();
    return table;
}

const std::array<FactColumnInfo, kFactColumnCount> &factColumns()
{
    static const std::array<FactColumnInfo, kFactColumnCount> table = [] {
        std::array<FactColumnInfo, kFactColumnCount> out{};
        size_t next = 0;
        for (const FactField &field : factFields()) {
            if (!field.column)
                continue;
            Q_ASSERT(next < out.size() && size_t(field.column->column) == next); // in FactColumn's order
            out[next++] = *field.column;
        }
        Q_ASSERT(next == out.size());
        return out;
    }();
    return table;
}

Cell factCell(const RowFacts &facts, FactColumn column)
{
    static const std::array<Cell (*)(const RowFacts &), kFactColumnCount> cells = [] {
        std::array<Cell (*)(const RowFacts &), kFactColumnCount> out{};
        for (const FactField &field : factFields())
            if (field.column)
                out[size_t(field.column->column)] = field.cell;
        return out;
    }();
    return cells[size_t(column)](facts);
}

QStringList redKeys(const CheckRow &row)
{
    QStringList keys;
    for (const ColumnInfo &info : columns())
        if (row[info.column].red)
            keys << QString::fromLatin1(info.key);
    return keys;
}

QString cachedAnswerNote(const RowFacts &facts)
{
    if (!facts.baidu || !facts.baidu->cachedAt.isValid())
        return {};
    return QStringLiteral("百度结果沿用 %1 的查询，未重新查询")
        .arg(facts.baidu->cachedAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

bool isIndexDrop(qint64 older, qint64 newer)
{
    // newer < older × (1 − 0.30), that is older − newer > older × 3 / 10, without overflow.
    static_assert(kIndexDropShare == 0.30);
    return older - newer > 3 * (older / 10) + 3 * (older % 10) / 10;
}

} // namespace friendlinks
