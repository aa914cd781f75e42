// How a run asks a search engine, on a transport of the test's own: nothing reaches a network, the test
// answers each query by hand.
#include "check/SearchQueryPolicy.h"

#include "web/FetchResult.h"
#include "web/PageFetcher.h"

#include <QTest>

#include <gtest/gtest.h>

namespace friendlinks {
namespace {

const QString kBlockText = QStringLiteral("blocked");

// Queries as the pool would take them; onTheWire says whether the host place was granted.
class HandTransport final : public SearchQueryPolicy::Transport {
public:
    struct Sent final : SearchQueryPolicy::SentQuery {
        QString address;
        std::function<void(const FetchResult &)> done;
        std::function<bool(const QString &)> followRedirect;
        bool onTheWire = false;
        bool dropped = false;
        bool isOnTheWire() const override { return onTheWire; }
        void drop() override { dropped = true; }
    };

    std::shared_ptr<SearchQueryPolicy::SentQuery> sendQuery(int, const QString &address, const QString &,
                                                            const FetchOptions &options,
                                                            std::function<void(const FetchResult &)> done) override
    {
        auto sent = std::make_shared<Sent>();
        sent->address = address;
        sent->done = std::move(done);
        sent->followRedirect = options.followRedirect;
        m_sent.push_back(sent);
        return sent;
    }
    bool isServing(const void *client) const override { return client != m_gone; }

    void answer(size_t query, const QString &text)
    {
        FetchResult result;
        result.kind = FetchResult::Kind::Page;
        result.text = text;
        m_sent.at(query)->done(result);
    }

    std::vector<std::shared_ptr<Sent>> m_sent;
    const void *m_gone = nullptr;
};

class SearchQueryPolicyTest : public ::testing::Test {
protected:
    // What each client was told, in order: the answer's text, or "-" for none sent.
    std::function<void(const FetchResult *)> told(QStringList &into)
    {
        return [&into](const FetchResult *answer) { into << (answer ? answer->text : QStringLiteral("-")); };
    }

    HandTransport m_transport;
    SearchQueryPolicy m_policy{m_transport, QStringLiteral("Search.Example"), 0,
                               [](const FetchResult &answer) {
                                   return answer.text == kBlockText || answer.redirects.contains("http://check/");
                               }};
    const int m_a = 0, m_b = 0;
};

TEST_F(SearchQueryPolicyTest, OneQueryPerAddressServesEveryRowAndAgainFromWhatWasKept)
{
    QStringList a, b;
    m_policy.ask(&m_a, 0, "q1", "site", told(a));
    m_policy.ask(&m_b, 1, "q1", "site", told(b));
    ASSERT_EQ(m_transport.m_sent.size(), 1u);
    m_transport.answer(0, "answer 1");
    m_policy.ask(&m_b, 1, "q1", "site", told(b));
    EXPECT_EQ(m_transport.m_sent.size(), 1u) << "asked again";
    EXPECT_EQ(a, QStringList{"answer 1"});
    EXPECT_EQ(b, (QStringList{"answer 1", "answer 1"}));
    EXPECT_EQ(m_policy.host(), "search.example");
    EXPECT_FALSE(m_transport.m_sent[0]->followRedirect("http://check/")) << "the block's address is no answer";
    EXPECT_TRUE(m_transport.m_sent[0]->followRedirect("http://elsewhere/"));
}

TEST_F(SearchQueryPolicyTest, TheBlockDropsWhatIsNotOnTheWireAndStopsAllLaterQueries)
{
    QStringList a, b;
    m_policy.ask(&m_a, 0, "kept", "site", told(a));
    m_transport.answer(0, "kept answer");
    for (const char *query : {"q1", "q2", "q3"})
        m_policy.ask(&m_a, 0, query, "site", told(a));
    m_transport.m_sent[2]->onTheWire = true; // q2's answer comes as usual
    m_transport.answer(1, kBlockText);
    EXPECT_TRUE(m_transport.m_sent[3]->dropped);
    EXPECT_FALSE(m_transport.m_sent[2]->dropped);
    EXPECT_EQ(a, (QStringList{"kept answer", kBlockText})) << "the dropped rows are told later";
    EXPECT_TRUE(QTest::qWaitFor([&a] { return a.size() == 3; }));
    m_policy.ask(&m_b, 0, "q4", "site", told(b));
    m_policy.ask(&m_b, 0, "kept", "site", told(b));
    EXPECT_EQ(b, (QStringList{"-", "kept answer"})) << "nothing sent, what was had still serves";
    EXPECT_EQ(m_transport.m_sent.size(), 4u);
}

TEST_F(SearchQueryPolicyTest, AQueryNoClientNeedsIsDroppedAndALeftClientIsToldNothing)
{
    QStringList a, b;
    m_policy.ask(&m_a, 0, "mine", "site", told(a));
    m_policy.ask(&m_a, 0, "shared", "site", told(a));
    m_policy.ask(&m_b, 0, "shared", "site", told(b));
    m_transport.m_gone = &m_a;
    m_policy.forget(&m_a);
    EXPECT_TRUE(m_transport.m_sent[0]->dropped);
    EXPECT_FALSE(m_transport.m_sent[1]->dropped) << "b still needs it";
    m_transport.answer(1, "shared answer");
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(b, QStringList{"shared answer"});
}

} // namespace
} // namespace friendlinks
