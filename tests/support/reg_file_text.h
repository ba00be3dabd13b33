// A registration file read as text by the rule every reader follows (exports are UTF-16).
#pragma once

#include "regfile/reg_encoding.h"

#include <fstream>
#include <iterator>
#include <string>

namespace hw::test {

inline std::string ReadRegFileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return regfile::DecodeRegBytes(bytes, regfile::EncodingOfRegBytes(bytes));
}

} // namespace hw::test
