// The orders the value list can be sorted in: names in natural order, and each column's own sort key.
#pragma once

#include "app/value_rows.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hw::app {

// Digit runs compare as numbers ("Value2" before "Value10"), ASCII letters without regard to case, other
// bytes as they are; texts equal that way are ordered by their bytes. Negative, zero or positive.
int CompareNatural(std::string_view first, std::string_view second);

enum class ValueColumn { Name, Type, Size, Data };

// What one row is sorted by in one column; it points into the row, which must outlive it.
struct ValueSortKey {
    ValueSortKey(const ValueRow& row, ValueColumn column);

    std::string_view name;
    std::string typeName; // for the type column only
    std::size_t size = 0;
    // The data column: texts, then numbers, then bytes.
    int dataClass = 0;
    std::string_view dataBytes; // a text up to its NUL, or all the bytes
    std::uint64_t number = 0;
};

// Negative, zero or positive for the column's order; equal keys fall back to the names.
int CompareSortKeys(const ValueSortKey& first, const ValueSortKey& second, ValueColumn column);

// The permutation that sorts the rows by the column, reversed when descending: rows[order[0]] comes first.
std::vector<std::size_t> ValueRowOrder(const std::vector<ValueRow>& rows, ValueColumn column,
                                       bool descending);

} // namespace hw::app
