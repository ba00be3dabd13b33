#include "app/value_order.h"

#include "core/value_types.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace hw::app {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

unsigned char Folded(char c) {
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

template <typename T> int CompareNumbers(T first, T second) {
    return (first > second) - (first < second);
}

// The digit run starting at start, without its leading zeros; start moves past the run.
std::string_view DigitRun(std::string_view text, std::size_t& start) {
    std::size_t end = start;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    std::size_t first = start;
    while (first + 1 < end && text[first] == '0')
        ++first;
    start = end;
    return text.substr(first, end - first);
}

std::string_view TextUpToNul(const std::vector<BYTE>& data) {
    const char* bytes = reinterpret_cast<const char*>(data.data());
    const void* nul = std::memchr(bytes, 0, data.size());
    return {bytes, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : data.size()};
}

std::uint64_t LittleEndian64(const std::vector<BYTE>& data) {
    std::uint64_t number = 0;
    for (std::size_t i = std::min<std::size_t>(data.size(), 8); i-- > 0;)
        number = number << 8 | data[i];
    return number;
}

} // namespace

int CompareNatural(std::string_view first, std::string_view second) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < first.size() && j < second.size()) {
        if (IsDigit(first[i]) && IsDigit(second[j])) {
            const std::string_view a = DigitRun(first, i);
            const std::string_view b = DigitRun(second, j);
            // Without leading zeros the longer run is the larger number.
            if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
            if (const int digits = a.compare(b)) return Sign(digits);
            continue;
        }
        const unsigned char a = Folded(first[i++]);
        const unsigned char b = Folded(second[j++]);
        if (a != b) return a < b ? -1 : 1;
    }
    if (i < first.size() || j < second.size()) return i < first.size() ? 1 : -1;
    return Sign(first.compare(second));
}

ValueSortKey::ValueSortKey(const ValueRow& row, ValueColumn column)
    : name(row.record.valueName), size(row.record.data.size()) {
    const TViewData& record = row.record;
    if (column == ValueColumn::Type) typeName = row.TypeColumn();
    if (column != ValueColumn::Data) return;
    const std::vector<BYTE>& data = record.data;
    const core::TypeClass typeClass = core::ClassOfType(record.type);
    if (typeClass == core::TypeClass::Text) {
        dataBytes = TextUpToNul(data);
    } else if (typeClass == core::TypeClass::Number) {
        dataClass = 1;
        number = record.number;
    } else if (record.type == REG_QWORD && data.size() == 8) {
        dataClass = 1;
        number = LittleEndian64(data);
    } else {
        dataClass = 2;
        dataBytes = {reinterpret_cast<const char*>(data.data()), data.size()};
    }
}

int CompareSortKeys(const ValueSortKey& first, const ValueSortKey& second, ValueColumn column) {
    int result = 0;
    switch (column) {
    case ValueColumn::Name:
        break;
    case ValueColumn::Type:
        result = CompareNatural(first.typeName, second.typeName);
        break;
    case ValueColumn::Size:
        result = CompareNumbers(first.size, second.size);
        break;
    case ValueColumn::Data:
        result = CompareNumbers(first.dataClass, second.dataClass);
        if (result == 0 && first.dataClass == 0) result = CompareNatural(first.dataBytes, second.dataBytes);
        if (result == 0 && first.dataClass == 1) result = CompareNumbers(first.number, second.number);
        // Bytes compare unsigned, a shorter run of equal bytes first.
        if (result == 0 && first.dataClass == 2) result = Sign(first.dataBytes.compare(second.dataBytes));
        break;
    }
    return result != 0 ? result : CompareNatural(first.name, second.name);
}

std::vector<std::size_t> ValueRowOrder(const std::vector<ValueRow>& rows, ValueColumn column,
                                       bool descending) {
    std::vector<ValueSortKey> keys;
    keys.reserve(rows.size());
    for (const ValueRow& row : rows)
        keys.emplace_back(row, column);
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    const int direction = descending ? -1 : 1;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return direction * CompareSortKeys(keys[a], keys[b], column) < 0;
    });
    return order;
}

} // namespace hw::app
