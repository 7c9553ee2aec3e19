// Tables of cases ("given, do, see"): each row runs as a test of its own,
// in a fresh world, under a name made from its `what` (or its table's RowName).
//
//     using DoorFailures = Rows<DriveScenario>;
//     const Row kFailures[] = {{"the door command", ...}, ...};
//     TEST_P(DoorFailures, ShowTheirMessage) { const Row& row = kFailures[GetParam()]; ... }
//     ROWS(DoorFailures, kFailures);
#ifndef TESTS_ROWS_H
#define TESTS_ROWS_H

#include <gtest/gtest.h>

#include <cctype>
#include <iterator>
#include <string>

// The fixture of a table: `Base`'s fresh world for every row, the row's index as the parameter.
template <class Base>
class Rows : public Base, public ::testing::WithParamInterface<size_t> {};

// "the door command fails" -> "the_door_command_fails": what a test name may hold.
inline std::string RowName(const std::string& what)
{
    std::string name;
    for (char c : what) {
        bool word = std::isalnum(static_cast<unsigned char>(c));
        if (word) name += c;
        else if (!name.empty() && name.back() != '_') name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name.empty() ? "row" : name;
}
inline std::string RowName(const char* what) { return RowName(std::string(what)); }

// A row is named by its `what`, unless a table says otherwise with a RowName of its own.
template <class Row>
std::string RowName(const Row& row)
{
    return RowName(row.what);
}

// (The name is looked up beside the row's type too, where a table may give one of its own.)
#define ROWS(Suite, table)                                                              \
    INSTANTIATE_TEST_SUITE_P(, Suite, ::testing::Range<size_t>(0, std::size(table)),   \
                             [](const ::testing::TestParamInfo<size_t>& info) {        \
                                 using ::RowName;                                      \
                                 return RowName(table[info.param]);                    \
                             })

#endif
