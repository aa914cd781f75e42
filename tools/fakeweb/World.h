#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace fakeweb {

// How one URL answers.
struct Answer {
    enum class Fault {
        None,
        Drop,        // close the connection without answering
        DropMidBody, // send the headers and half the body, then close
        Stall,       // never answer (connection stays open)
        Endless,     // 200 and a body that never ends
        Chunked,     // the body in chunked transfer encoding
        EndlessHeaderLine, // the status line, then one header line that never ends
        EndlessHeaders,    // the status line, then header lines that never stop coming
        GzipBomb,    // 200, gzip-encoded, a body of zeros that never ends (about 1000:1)
    };
    int status = 200;
    QByteArray body;
    int delayMs = 0; // before the answer starts
    Fault fault = Fault::None;
    QList<QPair<QByteArray, QByteArray>> headers; // extra response headers (e.g. Location)
};

// A world: absolute URLs mapped to answers. Lookup ignores percent-encoding
// differences, so "http://h/s?wd=site:中文" matches the request the client
// sends with the query percent-encoded.
class World {
public:
    // JSON object: { "http://www.a.com/": {"status": 200, "body": "...", "delay": 20,
    //   "fault": "drop|dropmid|stall|endless|chunked|endlessheaderline|endlessheaders|gzipbomb", "base64": "...", "file": "page.html",
    //   "headers": {"Location": "..."}, "agents": {"Baiduspider": ANSWER}} , ... }; a plain string value is the body.
    // "agents": the answer a client gets whose User-Agent holds the name (letter case aside) instead.
    // "file" is relative to baseDir. A key "host:NAME" with "from": N is setHostAnswerFrom(NAME, N, answer).
    // Returns an error text, or nothing on success.
    [[nodiscard]] std::optional<QString> loadJson(const QByteArray &json, const QString &baseDir);
    [[nodiscard]] std::optional<QString> loadFile(const QString &path);

    void set(const QString &url, const Answer &answer);
    void setPage(const QString &url, const QByteArray &body, int delayMs = 0);
    [[nodiscard]] std::optional<Answer> find(const QString &url) const;
    // Clients whose User-Agent holds agentWord get answer at url (a server cloaking for a spider).
    void setForAgent(const QString &url, const QString &agentWord, const Answer &answer);
    // The answer for a client that sends userAgent: its own when one was set, else find(url).
    [[nodiscard]] std::optional<Answer> find(const QString &url, const QString &userAgent) const;

    // From the nth request to host on (1-based, counted by the server), every
    // request to that host gets answer whatever its URL: a search engine that
    // turns to a security check after a few quick queries.
    void setHostAnswerFrom(const QString &host, int nth, const Answer &answer);
    // The answer the host gives its requestNumber-th request, when it has turned by then.
    [[nodiscard]] std::optional<Answer> hostAnswer(const QString &host, int requestNumber) const;
    [[nodiscard]] static QString normalise(const QString &url);

private:
    QHash<QString, Answer> m_answers;
    QHash<QString, QList<QPair<QString, Answer>>> m_agentAnswers; // by url: agent word, answer
    struct HostTurn {
        int nth = 1;
        Answer answer;
    };
    QHash<QString, HostTurn> m_hostTurns; // by lower-case host
};

} // namespace fakeweb
