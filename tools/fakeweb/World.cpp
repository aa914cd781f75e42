#include "tools/fakeweb/World.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QUrl>

#include <variant>

namespace fakeweb {

namespace {

std::optional<Answer::Fault> faultFromName(const QString &name)
{
    static const QHash<QString, Answer::Fault> kFaults = {
        {QString(), Answer::Fault::None},
        {QStringLiteral("none"), Answer::Fault::None},
        {QStringLiteral("drop"), Answer::Fault::Drop},
        {QStringLiteral("dropmid"), Answer::Fault::DropMidBody},
        {QStringLiteral("stall"), Answer::Fault::Stall},
        {QStringLiteral("endless"), Answer::Fault::Endless},
        {QStringLiteral("chunked"), Answer::Fault::Chunked},
        {QStringLiteral("endlessheaderline"), Answer::Fault::EndlessHeaderLine},
        {QStringLiteral("endlessheaders"), Answer::Fault::EndlessHeaders},
        {QStringLiteral("gzipbomb"), Answer::Fault::GzipBomb},
    };
    const auto it = kFaults.find(name.toLower());
    if (it == kFaults.end())
        return std::nullopt;
    return *it;
}

// One answer as the world file writes it: a body, or an object; an error text when it cannot be read.
std::variant<Answer, QString> readAnswer(const QString &url, const QJsonValue &value, const QString &baseDir)
{
    Answer answer;
    if (value.isString()) {
        answer.body = value.toString().toUtf8();
    } else if (value.isObject()) {
        const QJsonObject o = value.toObject();
        answer.status = o.value(QLatin1String("status")).toInt(200);
        answer.delayMs = o.value(QLatin1String("delay")).toInt(0);
        const auto fault = faultFromName(o.value(QLatin1String("fault")).toString());
        if (!fault)
            return QStringLiteral("%1: unknown fault \"%2\"").arg(url, o.value(QLatin1String("fault")).toString());
        answer.fault = *fault;
        if (o.contains(QLatin1String("body"))) {
            answer.body = o.value(QLatin1String("body")).toString().toUtf8();
        } else if (o.contains(QLatin1String("base64"))) {
            const auto decoded = QByteArray::fromBase64Encoding(
                o.value(QLatin1String("base64")).toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return QStringLiteral("%1: bad base64").arg(url);
            answer.body = *decoded;
        } else if (o.contains(QLatin1String("file"))) {
            const QString path = QDir(baseDir).filePath(o.value(QLatin1String("file")).toString());
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return QStringLiteral("%1: cannot read %2").arg(url, path);
            answer.body = file.readAll();
        }
        const QJsonObject headers = o.value(QLatin1String("headers")).toObject();
        for (auto h = headers.begin(); h != headers.end(); ++h)
            answer.headers.append({h.key().toUtf8(), h->toString().toUtf8()});
    } else {
        return QStringLiteral("%1: an answer is a string or an object").arg(url);
    }
    return answer;
}

} // namespace

std::optional<QString> World::loadJson(const QByteArray &json, const QString &baseDir)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull())
        return QStringLiteral("bad JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
    if (!doc.isObject())
        return QStringLiteral("the world must be a JSON object of URL: answer");

    const QJsonObject root = doc.object();
    QHash<QString, Answer> loaded;
    struct AgentAnswer {
        QString url;
        QString word;
        Answer answer;
    };
    QList<AgentAnswer> agentAnswers;
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QString &url = it.key();
        std::variant<Answer, QString> read = readAnswer(url, *it, baseDir);
        if (const QString *error = std::get_if<QString>(&read))
            return *error;
        const Answer answer = std::get<Answer>(read);
        if (it->isObject()) {
            const QJsonObject agents = it->toObject().value(QLatin1String("agents")).toObject();
            for (auto agent = agents.begin(); agent != agents.end(); ++agent) {
                std::variant<Answer, QString> own = readAnswer(url, *agent, baseDir);
                if (const QString *error = std::get_if<QString>(&own))
                    return *error;
                agentAnswers.append({url, agent.key(), std::get<Answer>(own)});
            }
        }
        // "host:www.baidu.com": {"from": 3, ...}: from its third request on, that host answers every URL alike.
        if (url.startsWith(QLatin1String("host:"))) {
            m_hostTurns.insert(url.mid(5).toLower(), HostTurn{it->toObject().value(QLatin1String("from")).toInt(1), answer});
            continue;
        }
        loaded.insert(normalise(url), answer);
    }
    for (auto it = loaded.begin(); it != loaded.end(); ++it)
        m_answers.insert(it.key(), it.value());
    for (const AgentAnswer &agent : std::as_const(agentAnswers))
        setForAgent(agent.url, agent.word, agent.answer);
    return std::nullopt;
}

std::optional<QString> World::loadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1").arg(path);
    return loadJson(file.readAll(), QFileInfo(path).absolutePath());
}

void World::set(const QString &url, const Answer &answer)
{
    m_answers.insert(normalise(url), answer);
}

void World::setPage(const QString &url, const QByteArray &body, int delayMs)
{
    Answer answer;
    answer.body = body;
    answer.delayMs = delayMs;
    set(url, answer);
}

std::optional<Answer> World::find(const QString &url) const
{
    const auto it = m_answers.find(normalise(url));
    if (it == m_answers.end())
        return std::nullopt;
    return *it;
}

void World::setForAgent(const QString &url, const QString &agentWord, const Answer &answer)
{
    m_agentAnswers[normalise(url)].append({agentWord, answer});
}

std::optional<Answer> World::find(const QString &url, const QString &userAgent) const
{
    if (!userAgent.isEmpty()) {
        for (const auto &[word, answer] : m_agentAnswers.value(normalise(url)))
            if (userAgent.contains(word, Qt::CaseInsensitive))
                return answer;
    }
    return find(url);
}

void World::setHostAnswerFrom(const QString &host, int nth, const Answer &answer)
{
    m_hostTurns.insert(host.toLower(), HostTurn{nth, answer});
}

std::optional<Answer> World::hostAnswer(const QString &host, int requestNumber) const
{
    const auto it = m_hostTurns.find(host.toLower());
    if (it == m_hostTurns.end() || requestNumber < it->nth)
        return std::nullopt;
    return it->answer;
}

// Percent-decodes the whole URL, lower-cases scheme and host, drops a default
// port and gives an empty path "/", so the forms a client may send all meet.
QString World::normalise(const QString &url)
{
    QString decoded = QUrl::fromPercentEncoding(url.toUtf8());
    const qsizetype schemeEnd = decoded.indexOf(QLatin1String("://"));
    if (schemeEnd <= 0)
        return decoded;
    const qsizetype hostStart = schemeEnd + 3;
    qsizetype hostEnd = hostStart;
    while (hostEnd < decoded.size() && decoded[hostEnd] != u'/' && decoded[hostEnd] != u'?' && decoded[hostEnd] != u'#')
        ++hostEnd;
    const QString scheme = decoded.left(schemeEnd).toLower();
    QString host = decoded.mid(hostStart, hostEnd - hostStart).toLower();
    if ((scheme == QLatin1String("http") && host.endsWith(QLatin1String(":80")))
        || (scheme == QLatin1String("https") && host.endsWith(QLatin1String(":443"))))
        host.truncate(host.lastIndexOf(u':'));
    QString rest = decoded.mid(hostEnd);
    if (!rest.startsWith(u'/'))
        rest.prepend(u'/');
    return scheme + QLatin1String("://") + host + rest;
}

} // namespace fakeweb
