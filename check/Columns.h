#pragma once

#include <QString>

#include <array>

namespace friendlinks {

// The six columns of the result list, in display order. Their keys are
// pinyin, kept from the original design:
//   lianjie    链接     link: the friend site's address as found on the checked page
//   guanjianzi 关键字   keyword: that link's anchor text, i.e. the friend's site name
//   fanlian    反链     back link: whether the friend links back, and with which anchor text
//   shoulu     收录     indexed: the page count Baidu reports for the friend site
//   kuaizhao   快照     snapshot: Baidu's snapshot line for it (page size and date)
//   rp         RP(人品) standing: whether Baidu's "site:" query lists its home page first
enum class Column { lianjie = 0, guanjianzi, fanlian, shoulu, kuaizhao, rp };
inline constexpr int kColumnCount = 6;

struct ColumnInfo {
    Column column;
    const char *key;    // lianjie, guanjianzi, ...
    QString header;     // shown in the list's header
    int widthPixels;    // at 96 dpi
};

[[nodiscard]] const std::array<ColumnInfo, kColumnCount> &columns();

// One cell of a result row.
struct Cell {
    QString text;
    bool red = false;
    bool operator==(const Cell &) const = default;
};

// One row of the result list, cells indexed by Column.
struct CheckRow {
    std::array<Cell, kColumnCount> cells;
    [[nodiscard]] Cell &operator[](Column c) { return cells[static_cast<size_t>(c)]; }
    [[nodiscard]] const Cell &operator[](Column c) const { return cells[static_cast<size_t>(c)]; }
    bool operator==(const CheckRow &) const = default;
};

} // namespace friendlinks
