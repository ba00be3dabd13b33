// The texts of the results-window row that shows one search result.
#pragma once

#include "core/value_text.h"
#include "search/search_types.h"

#include <string>

namespace hw::search {

struct ResultRowTexts {
    std::string caption; // "Result": the key's own name, or the value name
    std::string atKey;
    std::string atValue;
    std::string data; // the Data column
    std::string raw;  // the hidden fifth text: text, decimal number or printable text
};

// A key result's own name: its path after the last backslash.
std::string KeyNameOfPath(const std::string& keyPath);

// The row of a result, with the value's texts read from the registry now (not taken from the walk).
ResultRowTexts ResultRowTextsOf(const SearchResult& result);

// Text and number values show the display text and keep the value text as raw text; bytes values show the
// byte text (their value text) and keep the printable text.
void SetRowDataTexts(ResultRowTexts& row, DWORD type, const core::ValueTexts& texts);

} // namespace hw::search
