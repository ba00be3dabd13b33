#include "core/value_types.h"

#include "core/ascii_case.h"

#include <array>

namespace hw::core {

namespace {

struct NamedType {
    DWORD type;
    const char* name;
};

constexpr std::array<NamedType, 10> kNamedTypes{{
    {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},
    {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_LINK, "REG_LINK"},
    {REG_MULTI_SZ, "REG_MULTI_SZ"},
    {REG_RESOURCE_LIST, "REG_RESOURCE_LIST"},
    {REG_FULL_RESOURCE_DESCRIPTOR, "REG_FULL_RESOURCE_DESCRIPTOR"},
    {REG_RESOURCE_REQUIREMENTS_LIST, "REG_RESOURCE_REQUIREMENTS_LIST"},
}};

} // namespace

std::string ValueTypeName(DWORD type) {
    for (const auto& named : kNamedTypes) {
        if (named.type == type) return named.name;
    }
    return "REG_UNKNOWN(" + std::to_string(type) + ")";
}

std::optional<DWORD> ValueTypeFromName(const std::string& name) {
    for (const auto& named : kNamedTypes) {
        if (EqualsIgnoringCase(name, named.name)) return named.type;
    }
    if (EqualsIgnoringCase(name, "REG_DWORD_LITTLE_ENDIAN")) return REG_DWORD;
    return std::nullopt;
}

TypeClass ClassOfType(DWORD type) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        return TypeClass::Text;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        return TypeClass::Number;
    default:
        return TypeClass::Bytes;
    }
}

} // namespace hw::core
