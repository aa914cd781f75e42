#include "check/Columns.h"

namespace friendlinks {

const std::array<ColumnInfo, kColumnCount> &columns()
{
    static const std::array<ColumnInfo, kColumnCount> table{{
        {Column::lianjie, "lianjie", QStringLiteral("网站地址"), 150},
        {Column::guanjianzi, "guanjianzi", QStringLiteral("网站名字"), 100},
        {Column::fanlian, "fanlian", QStringLiteral("反链关键字"), 100},
        {Column::shoulu, "shoulu", QStringLiteral("百度收录"), 100},
        {Column::kuaizhao, "kuaizhao", QStringLiteral("百度快照"), 100},
        {Column::rp, "rp", QStringLiteral("百度site首页"), 100},
    }};
    return table;
}

} // namespace friendlinks
