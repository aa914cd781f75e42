#pragma once

#include "check/Columns.h"
#include "check/Harvest.h"
#include "tests/common/QtPrinters.h"

#include <ostream>

namespace friendlinks {

// Readable failure messages for cells and rows (found by GoogleTest through ADL).
inline void PrintTo(const Cell &cell, std::ostream *os)
{
    PrintTo(cell.text, os);
    *os << (cell.red ? " (red)" : "");
}

inline void PrintTo(const CheckRow &row, std::ostream *os)
{
    *os << '[';
    for (const Cell &cell : row.cells) {
        PrintTo(cell, os);
        *os << ' ';
    }
    *os << ']';
}

inline void PrintTo(const HarvestedLink &link, std::ostream *os)
{
    PrintTo(link.lianjie, os);
    *os << " / ";
    PrintTo(link.guanjianzi, os);
}

} // namespace friendlinks
