#pragma once

// Rule tables: one parameterised test per table, every row named in ctest's list and in failures.
#include "tests/common/QtPrinters.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <type_traits>

namespace friendlinks {

// The first member of every table row: `struct MyRow : Row { ... };` and rows as {"name", ...}.
struct Row {
    const char *name;
};

inline std::ostream &operator<<(std::ostream &os, const Row &row)
{
    return os << row.name;
}

} // namespace friendlinks

// TABLE_TEST(Suite, Test, rows) { ... GetParam() ... }: Test runs once per row, as Rows/Suite.Test/<row name>.
#define TABLE_TEST(Suite, Name, rows) TABLE_TEST_F(::testing::Test, Suite, Name, rows)

// The same on a fixture of one's own.
#define TABLE_TEST_F(Fixture, Suite, Name, rows)                                                                         \
    class Suite : public Fixture, public ::testing::WithParamInterface<std::remove_cvref_t<decltype((rows)[0])>> {};   \
    INSTANTIATE_TEST_SUITE_P(Rows, Suite, ::testing::ValuesIn(rows),                                                   \
                             [](const auto &info) { return std::string(info.param.name); });                           \
    TEST_P(Suite, Name)
