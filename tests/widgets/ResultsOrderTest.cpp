// The list's order and filter over a real results model: a column's numbers by their value, texts in order,
// unknown values last either way, harvest order on the third click; only the rows with a red cell in a
// column the list shows; and the rows of the results behind what is shown.
#include "app/HeaderSort.h"
#include "app/ResultsListModel.h"
#include "app/ResultsSortProxy.h"

#include "check/ResultsWriter.h"

#include <QBrush>
#include <QHeaderView>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace friendlinks;

namespace {

const int kShoulu = int(Column::shoulu);
const int kStatus = kColumnCount + int(FactColumn::status);
const int kOurNofollow = kColumnCount + int(FactColumn::ourNofollow);

struct Given {
    const char *lianjie;
    const char *shoulu; // as Baidu wrote it; nullptr: Baidu not asked
    std::optional<qint64> pages;
    int status;
    bool redFanlian = false;
    bool ourNofollow = false; // red in a fact column only
};

struct ResultsOrder : ::testing::Test {
    ResultsWriter writer;
    ResultsListModel list{writer.model()};
    ResultsSortProxy proxy{&list};

    void SetUp() override
    {
        writer.clear(QStringLiteral("www.home.com"), false);
        const QList<Given> rows{
            {"http://www.a.com/", "约1,200篇", 1200, 200},
            {"http://www.b.com/", nullptr, std::nullopt, 0, true},
            {"http://www.c.com/", "9篇", 9, 404, true},
            {"http://www.d.com/", "约10篇", 10, 200, false, true},
        };
        for (const Given &given : rows) {
            ResultRow row;
            row.cells[Column::lianjie].text = QString::fromLatin1(given.lianjie);
            row.cells[Column::fanlian] = Cell{given.redFanlian ? QStringLiteral("没有链接") : QStringLiteral("首页"),
                                              given.redFanlian};
            if (given.shoulu) {
                row.cells[Column::shoulu].text = QString::fromUtf8(given.shoulu);
                row.facts.baidu = BaiduFacts{BaiduState::Ok, {}, given.pages, RankVerdict::HomeFirst, {}};
            }
            row.facts.status = given.status;
            if (given.ourNofollow) // our own link to it is nofollow: red in that fact column only
                row.facts.ourLink = BackLinkFacts{QString::fromLatin1(given.lianjie), {QStringLiteral("nofollow")}, false};
            writer.appendRow(row);
        }
        ASSERT_TRUE(writer.model()->cell(3, kOurNofollow).red);
    }

    [[nodiscard]] QStringList shown() const
    {
        QStringList hosts;
        for (int row = 0; row < proxy.rowCount(); ++row)
            hosts << proxy.index(row, 0).data().toString().mid(11, 1); // "http://www.X.com/" → "X"
        return hosts;
    }
};

TEST_F(ResultsOrder, NumbersSortByTheirValueUnknownLastEitherWay)
{
    struct Case {
        int column;
        Qt::SortOrder order;
        QStringList expected;
    };
    const QList<Case> cases{
        {kShoulu, Qt::AscendingOrder, {"c", "d", "a", "b"}},  // 9, 10, 1200, none (not "1,200" < "10" < "9")
        {kShoulu, Qt::DescendingOrder, {"a", "d", "c", "b"}}, // none stays last
        {kStatus, Qt::AscendingOrder, {"b", "a", "d", "c"}},  // 0, 200, 200 (harvest order), 404
        {kStatus, Qt::DescendingOrder, {"c", "a", "d", "b"}}, // equal values keep harvest order
        {int(Column::fanlian), Qt::AscendingOrder, {}}, // texts: below
        {-1, Qt::AscendingOrder, {"a", "b", "c", "d"}},
    };
    for (const Case &c : cases) {
        proxy.sort(c.column, c.order);
        if (c.column == int(Column::fanlian)) {
            // Texts follow the locale's order; what matters is that equal texts stay together in harvest order.
            const QStringList got = shown();
            const bool plainFirst = got.indexOf("a") < got.indexOf("b");
            EXPECT_EQ(got, plainFirst ? QStringList({"a", "d", "b", "c"}) : QStringList({"b", "c", "a", "d"}));
            continue;
        }
        EXPECT_EQ(shown(), c.expected) << "column " << c.column << " order " << int(c.order);
    }
}

TEST_F(ResultsOrder, HeaderClicksSortReverseThenRestoreHarvestOrder)
{
    QTreeView view;
    view.setModel(&proxy);
    HeaderSort sort(view.header(), &proxy);
    EXPECT_EQ(view.header()->sortIndicatorSection(), -1);
    const QList<QStringList> afterClicks{{"c", "d", "a", "b"}, {"a", "d", "c", "b"}, {"a", "b", "c", "d"}};
    for (const QStringList &expected : afterClicks) {
        sort.click(kShoulu);
        EXPECT_EQ(shown(), expected);
        EXPECT_EQ(view.header()->sortIndicatorSection(), sort.column());
    }
    EXPECT_EQ(sort.column(), -1);
    sort.click(kShoulu);
    sort.click(kStatus);
    EXPECT_EQ(sort.order(), Qt::AscendingOrder) << "another column starts ascending";
    EXPECT_EQ(shown(), (QStringList{"b", "a", "d", "c"}));
}

TEST_F(ResultsOrder, ARememberedSortIsTheNextStartsAndHarvestOrderIsRememberedToo)
{
    {
        QTreeView view;
        view.setModel(&proxy);
        HeaderSort sort(view.header(), &proxy, nullptr, true);
        sort.click(kShoulu);
        sort.click(kShoulu); // descending
    }
    QTreeView view;
    view.setModel(&proxy);
    HeaderSort again(view.header(), &proxy, nullptr, true);
    EXPECT_EQ(again.column(), kShoulu);
    EXPECT_EQ(again.order(), Qt::DescendingOrder);
    EXPECT_EQ(shown(), (QStringList{"a", "d", "c", "b"}));
    EXPECT_EQ(view.header()->sortIndicatorSection(), kShoulu);
    again.click(kShoulu); // back to harvest order
    HeaderSort third(view.header(), &proxy, nullptr, true);
    EXPECT_EQ(third.column(), -1);
    EXPECT_EQ(shown(), (QStringList{"a", "b", "c", "d"}));
}

TEST_F(ResultsOrder, ProblemsOnlyKeepsTheRowsWithARedCellInAShownColumn)
{
    proxy.sort(kShoulu, Qt::DescendingOrder);
    proxy.setProblemsOnly(true);
    EXPECT_EQ(shown(), (QStringList{"d", "c", "b"})) << "d is red in its our-nofollow column";
    bool factsShown = false;
    proxy.setColumnShown([&factsShown](int column) { return column < kColumnCount || factsShown; });
    EXPECT_EQ(shown(), (QStringList{"c", "b"}));
    EXPECT_EQ(proxy.sourceRows(), (QList<int>{2, 1}));
    factsShown = true;
    proxy.refilter();
    EXPECT_EQ(shown(), (QStringList{"d", "c", "b"}));

    // A row that turns red comes in; one that is no longer red goes.
    factsShown = false;
    proxy.refilter();
    writer.updateRow(0, [](ResultRow &row) { row.cells[Column::fanlian].red = true; });
    writer.updateRow(2, [](ResultRow &row) { row.cells[Column::fanlian].red = false; });
    EXPECT_EQ(shown(), (QStringList{"a", "b"}));
    proxy.setProblemsOnly(false);
    EXPECT_EQ(shown(), (QStringList{"a", "d", "c", "b"}));
    // The rows of the results behind a selection of shown rows, in the order shown.
    EXPECT_EQ(proxy.sourceRows({proxy.index(2, 3), proxy.index(0, 0), proxy.index(0, 1)}), (QList<int>{0, 2}));
}

TEST_F(ResultsOrder, AStoppedChecksRowsReadUncheckedInTheirEmptyProbedCells)
{
    writer.setUnchecked({1}, true);
    const QModelIndex fanlian = list.index(1, int(Column::fanlian));
    const QModelIndex shoulu = list.index(1, kShoulu);
    EXPECT_EQ(fanlian.data().toString(), QStringLiteral("没有链接")) << "a filled cell keeps its text";
    EXPECT_EQ(shoulu.data().toString(), kUncheckedText);
    EXPECT_EQ(shoulu.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(128, 128, 128));
    EXPECT_EQ(list.index(1, int(Column::lianjie)).data().toString(), QStringLiteral("http://www.b.com/"));
    EXPECT_EQ(list.index(0, kShoulu).data().toString(), QStringLiteral("约1,200篇")) << "another row";
    EXPECT_TRUE(writer.model()->cell(1, kShoulu).text.isEmpty()) << "the results keep what was found: nothing";
    writer.setUnchecked({1}, false);
    EXPECT_EQ(shoulu.data().toString(), QString());
    writer.setUnchecked({1}, true);
    writer.clear(QStringLiteral("www.home.com"), false);
    EXPECT_EQ(writer.model()->uncheckedCount(), 0) << "a new check starts with none";
}

} // namespace
