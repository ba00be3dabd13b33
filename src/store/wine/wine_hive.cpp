#include "store/wine/wine_hive.h"

#include "store/wine/wine_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace hw::store::wine {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
constexpr std::string_view kRelativeRoot = ";; All keys relative to ";
constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicks1601To1970 = std::int64_t{86400} * (369 * 365 + 89) * kTicksPerSecond;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::size_t SkipSpaces(std::string_view text, std::size_t i) {
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    return i;
}

// The line at pos with its newline; pos moves past it.
std::string_view NextLine(std::string_view text, std::size_t& pos) {
    const char* start = text.data() + pos;
    const void* newline = std::memchr(start, '\n', text.size() - pos);
    std::size_t end = newline ? static_cast<const char*>(newline) - text.data() + 1 : text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end;
    return line;
}

// The line without its line end.
std::string_view Content(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

char FirstChar(std::string_view line, std::size_t& at) {
    at = SkipSpaces(line, 0);
    return at < line.size() ? line[at] : '\0';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string FromUtf16Bytes(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return Utf8FromUtf16(units);
}

bool IsTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Reads "xx,xx,..." over continuation lines ending in a backslash. pos is inside the section; on return it is
// past the value's last line. False when the data is malformed.
bool ParseHex(std::string_view section, std::string_view rest, std::size_t& pos, std::string& bytes) {
    for (;;) {
        std::size_t i = 0;
        while (i < rest.size() && IsHexDigit(rest[i])) {
            std::size_t start = i;
            unsigned value = 0;
            while (i < rest.size() && IsHexDigit(rest[i]) && value <= 0xFF) {
                value = value * 16 + static_cast<unsigned>(IsHexDigit(rest[i]) && rest[i] <= '9'
                                                               ? rest[i] - '0'
                                                               : (rest[i] | 0x20) - 'a' + 10);
                ++i;
            }
            if (value > 0xFF || i == start) return false;
            bytes.push_back(static_cast<char>(value));
            i = SkipSpaces(rest, i);
            if (i < rest.size() && rest[i] == ',') ++i;
            i = SkipSpaces(rest, i);
        }
        i = SkipSpaces(rest, i);
        if (i >= rest.size()) return true;
        if (rest[i] != '\\' || pos >= section.size()) return false;
        std::string_view next = Content(NextLine(section, pos));
        rest = next.substr(SkipSpaces(next, 0));
    }
}

// Parses the value whose line starts at line[at]; pos is past that line and moves past continuation lines.
bool ParseValue(std::string_view section, std::string_view line, std::size_t at, std::size_t& pos,
                WineValue& value) {
    std::string_view text = Content(line).substr(at);
    std::size_t i = 0;
    std::u16string units;
    if (text[0] == '@') {
        i = 1;
    } else {
        std::size_t used = ParseEscaped(text.substr(1), '"', units);
        if (used == std::string_view::npos) return false;
        i = 1 + used;
    }
    value.name = Utf8FromUtf16(units);
    i = SkipSpaces(text, i);
    if (i >= text.size() || text[i] != '=') return false;
    i = SkipSpaces(text, i + 1);
    std::string_view rest = text.substr(i);
    value.data.clear();

    auto malformed = [&] {
        // Wine keeps the name of a value it cannot read, with no type and no data.
        value.type = REG_NONE;
        value.data.clear();
        return true;
    };
    struct Tag {
        std::string_view text;
        DWORD type;
    };
    static constexpr Tag kStrings[] = {
        {"\"", REG_SZ}, {"str:\"", REG_SZ}, {"str(2):\"", REG_EXPAND_SZ}, {"str(7):\"", REG_MULTI_SZ}};
    for (const Tag& tag : kStrings) {
        if (!rest.starts_with(tag.text)) continue;
        value.type = tag.type;
        units.clear();
        if (ParseEscaped(rest.substr(tag.text.size()), '"', units) == std::string_view::npos)
            return malformed();
        units.push_back(u'\0');
        value.data = Utf8FromUtf16(units);
        return true;
    }
    if (rest.starts_with("dword:")) {
        value.type = REG_DWORD;
        std::string digits(rest.substr(6));
        DWORD number = static_cast<DWORD>(std::strtoul(digits.c_str(), nullptr, 16));
        value.data.assign(reinterpret_cast<const char*>(&number), 4);
        return true;
    }
    std::string_view hex;
    if (rest.starts_with("hex:")) {
        value.type = REG_BINARY;
        hex = rest.substr(4);
    } else if (rest.starts_with("hex(")) {
        std::size_t k = 4;
        unsigned long type = 0;
        while (k < rest.size() && IsHexDigit(rest[k]))
            type = type * 16 +
                   static_cast<unsigned long>(rest[k] <= '9' ? rest[k] - '0' : (rest[k] | 0x20) - 'a' + 10),
            ++k;
        if (k == 4 || !rest.substr(k).starts_with("):")) return malformed();
        value.type = static_cast<DWORD>(type);
        hex = rest.substr(k + 2);
    } else {
        return malformed();
    }
    std::string bytes;
    if (!ParseHex(section, hex, pos, bytes)) return malformed();
    // Text stored in hexadecimal is still UTF-16 in Wine's world.
    value.data = IsTextType(value.type) && bytes.size() % 2 == 0 ? FromUtf16Bytes(bytes) : std::move(bytes);
    return true;
}

std::uint64_t ParseTime(std::string_view section) {
    std::size_t pos = 0;
    std::string_view header = Content(NextLine(section, pos));
    while (pos < section.size()) {
        std::size_t at = 0;
        std::string_view line = NextLine(section, pos);
        if (FirstChar(line, at) == '[') break;
        if (line.substr(at).starts_with("#time=")) {
            std::uint64_t time = 0;
            for (std::size_t k = at + 6; k < line.size() && IsHexDigit(line[k]); ++k)
                time = (time << 4) |
                       static_cast<unsigned>(line[k] <= '9' ? line[k] - '0' : (line[k] | 0x20) - 'a' + 10);
            return time;
        }
    }
    // Wine reads the seconds into 32 bits; any number fits once cut to them.
    std::size_t close = header.rfind(']');
    auto seconds = static_cast<std::uint32_t>(
        close == std::string_view::npos
            ? 0
            : std::strtoull(std::string(header.substr(close + 1)).c_str(), nullptr, 10));
    return std::uint64_t{seconds} * kTicksPerSecond + kTicks1601To1970;
}

// The seconds since 1970 Wine writes on a key line for a time in 100 ns units since 1601.
unsigned SecondsSince1970(std::uint64_t modified) {
    // Wrapping in unsigned arithmetic, then signed division, as Wine computes it for any sane time.
    return static_cast<unsigned>(static_cast<std::int64_t>(modified - kTicks1601To1970) / kTicksPerSecond);
}

void Separate(std::string& out) {
    if (out.empty()) return;
    if (out.back() != '\n')
        out += "\n\n";
    else if (out.size() < 2 || out[out.size() - 2] != '\n')
        out += '\n';
}

} // namespace

const ChildList::Keys ChildList::kNone;

std::string_view NameStore::Keep(std::string_view name) {
    constexpr std::size_t kBlock = 64 * 1024;
    if (name.empty()) return {};
    char* at = nullptr;
    if (name.size() > kBlock / 4) {
        // A long name gets a block of its own, so the current block is not cut short.
        at = blocks_.emplace_back(std::make_unique<char[]>(name.size())).get();
        if (blocks_.size() > 1) std::swap(blocks_.back(), blocks_[blocks_.size() - 2]);
    } else {
        if (capacity_ - used_ < name.size()) {
            blocks_.push_back(std::make_unique<char[]>(kBlock));
            used_ = 0;
            capacity_ = kBlock;
        }
        at = blocks_.back().get() + used_;
        used_ += name.size();
    }
    std::memcpy(at, name.data(), name.size());
    return {at, name.size()};
}

void NameStore::Clear() {
    blocks_.clear();
    used_ = capacity_ = 0;
}

WineKey& KeyPool::Make() {
    if (count_ % kChunk == 0) chunks_.push_back(std::make_unique<WineKey[]>(kChunk));
    const std::size_t index = count_++;
    return chunks_[index / kChunk][index % kChunk];
}

void KeyPool::Clear() {
    chunks_.clear();
    count_ = 0;
}

void ParseSectionValues(std::string_view section, std::vector<WineValue>& values) {
    std::size_t pos = 0;
    NextLine(section, pos); // the key's own line
    while (pos < section.size()) {
        std::size_t start = pos, at = 0;
        std::string_view line = NextLine(section, pos);
        char first = FirstChar(line, at);
        if (first == '[') break; // a key line Wine could not read: its lines belong to no key
        if (first != '@' && first != '"') continue;
        WineValue value;
        if (!ParseValue(section, line, at, pos, value)) continue;
        value.raw = section.substr(start, pos - start);
        auto same = std::find_if(values.begin(), values.end(),
                                 [&](const WineValue& v) { return CompareNames(v.name, value.name) == 0; });
        if (same != values.end())
            *same = std::move(value);
        else
            values.push_back(std::move(value));
    }
}

void AppendValueText(std::string& out, const WineValue& value) {
    std::size_t lineStart = out.size();
    if (value.name.empty()) {
        out += "@=";
    } else {
        out += '"';
        AppendEscaped(out, Utf16FromUtf8(value.name), '"', '"');
        out += "\"=";
    }
    std::string_view bytes = value.data;
    std::string utf16;
    if (IsTextType(value.type)) {
        std::u16string units = Utf16FromUtf8(value.data);
        if (!units.empty() && units.back() == u'\0') {
            if (value.type != REG_SZ) out += value.type == REG_EXPAND_SZ ? "str(2):" : "str(7):";
            out += '"';
            AppendEscaped(out, std::u16string_view(units).substr(0, units.size() - 1), '"', '"');
            out += "\"\n";
            return;
        }
        for (char16_t unit : units) {
            utf16 += static_cast<char>(unit & 0xFF);
            utf16 += static_cast<char>(unit >> 8);
        }
        bytes = utf16;
    } else if (value.type == REG_DWORD && bytes.size() == 4) {
        DWORD number = 0;
        std::memcpy(&number, bytes.data(), 4);
        char buffer[24];
        out.append(buffer,
                   static_cast<std::size_t>(std::snprintf(buffer, sizeof buffer, "dword:%08x\n", number)));
        return;
    }
    char buffer[24];
    if (value.type == REG_BINARY)
        out += "hex:";
    else
        out.append(buffer,
                   static_cast<std::size_t>(std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type)));
    // Wine counts the first line from its start and wraps once a line passes 76 characters.
    std::size_t count = out.size() - lineStart;
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
        count += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            if (++count > 76) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
    out += '\n';
}

void Hive::Load(std::string text, std::string rootName) {
    text_ = std::move(text);
    keys_.Clear();
    names_.Clear();
    root_ = &keys_.Make();
    root_->name = names_.Keep(rootName);
    root_->hive = this;
    preamble_ = {};
    relativeRootName_.clear();
    damage_ = {};

    std::string_view all(text_);
    std::size_t pos = 0;
    if (Content(NextLine(all, pos)) != kHeader)
        throw std::runtime_error("is not a Wine registry file (its first line is not \"" +
                                 std::string(kHeader) + "\")");
    damage_ = FindDamage(all);

    WineKey* current = nullptr;
    std::size_t sectionStart = 0;
    std::vector<WineKey*> path; // the keys of the previous key line, which the next one mostly shares
    std::u16string units;
    auto closeSection = [&](std::size_t end) {
        std::string_view section = all.substr(sectionStart, end - sectionStart);
        if (!current) {
            preamble_ = section;
        } else if (current->section.empty() && !current->values) {
            current->section = section;
        } else {
            // The same key twice: Wine merges them, and so is it written next time.
            if (std::size_t line = LineAt(all, sectionStart); !damage_ || line < damage_.line)
                damage_ = {line, "a key has a second section"};
            std::vector<WineValue>& values = Values(*current);
            std::vector<WineValue> more;
            ParseSectionValues(section, more);
            for (WineValue& value : more) {
                auto same = std::find_if(values.begin(), values.end(), [&](const WineValue& v) {
                    return CompareNames(v.name, value.name) == 0;
                });
                if (same != values.end())
                    *same = std::move(value);
                else
                    values.push_back(std::move(value));
            }
            current->regenerate = true;
        }
    };

    while (pos < all.size()) {
        std::size_t lineStart = pos, at = 0;
        std::string_view line = NextLine(all, pos);
        char first = FirstChar(line, at);
        if (first == '#') {
            if (current && line.substr(at).starts_with("#link")) current->link = true;
            continue;
        }
        if (first == ';' && !current && line.starts_with(kRelativeRoot)) {
            units.clear();
            std::string_view rest = Content(line).substr(kRelativeRoot.size());
            ParseEscaped(std::string(rest) + '\n', '\n', units);
            std::size_t cut = units.rfind(u'\\');
            relativeRootName_ = Utf8FromUtf16(cut == std::u16string::npos ? units : units.substr(cut + 1));
            continue;
        }
        if (first != '[') continue;
        units.clear();
        if (ParseEscaped(line.substr(at + 1), ']', units) == std::string_view::npos) continue;
        closeSection(lineStart);
        sectionStart = lineStart;

        WineKey* key = root_;
        std::size_t depth = 0;
        std::size_t begin = 0;
        bool shared = true;
        while (begin <= units.size()) {
            std::size_t end = units.find(u'\\', begin);
            if (end == std::u16string::npos) end = units.size();
            if (end > begin) {
                std::string name = Utf8FromUtf16(std::u16string_view(units).substr(begin, end - begin));
                if (shared && depth < path.size() && path[depth]->name == name) {
                    key = path[depth];
                } else {
                    shared = false;
                    // Wine writes keys in order, so a new key almost always goes last.
                    if (!key->children.empty() && CompareNames(key->children.View().back()->name, name) < 0)
                        key = &NewKey(*key, name, key->children.size());
                    else if (WineKey* found = FindChild(*key, name))
                        key = found;
                    else
                        key = &AddChild(*key, name);
                    path.resize(depth);
                    path.push_back(key);
                }
                ++depth;
            }
            begin = end + 1;
        }
        path.resize(depth);
        current = key;
    }
    closeSection(all.size());
}

WineKey* Hive::FindChild(const WineKey& parent, std::string_view name) {
    auto found = std::lower_bound(
        parent.children.begin(), parent.children.end(), name,
        [](const WineKey* key, std::string_view n) { return CompareNames(key->name, n) < 0; });
    if (found == parent.children.end() || CompareNames((*found)->name, name) != 0) return nullptr;
    return *found;
}

WineKey& Hive::AddChild(WineKey& parent, std::string_view name) {
    auto at = std::lower_bound(
        parent.children.begin(), parent.children.end(), name,
        [](const WineKey* key, std::string_view n) { return CompareNames(key->name, n) < 0; });
    return NewKey(parent, name, static_cast<std::size_t>(at - parent.children.begin()));
}

WineKey& Hive::NewKey(WineKey& parent, std::string_view name, std::size_t position) {
    WineKey& key = keys_.Make();
    key.name = names_.Keep(name);
    key.parent = &parent;
    key.hive = this;
    ChildList::Keys& siblings = parent.children.Edit();
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(position), &key);
    return key;
}

std::vector<WineValue>& Hive::Values(WineKey& key) {
    if (!key.values) {
        key.values = std::make_unique<std::vector<WineValue>>();
        if (!key.section.empty()) ParseSectionValues(key.section, *key.values);
    }
    return *key.values;
}

void Hive::AppendPath(const WineKey& key, std::string& out) const {
    if (&key == root_ || !key.parent) return;
    if (key.parent != root_) {
        AppendPath(*key.parent, out);
        out += "\\\\";
    }
    AppendEscaped(out, Utf16FromUtf8(key.name), '[', ']');
}

std::string Hive::Render(RenderMap& map, bool rewriteAll) {
    std::string out;
    out.reserve(text_.size() + 4096);
    out.append(preamble_);
    RenderKey(*root_, out, map, rewriteAll);
    while (out.size() >= 2 && out[out.size() - 1] == '\n' && out[out.size() - 2] == '\n')
        out.pop_back();
    return out;
}

void Hive::RenderKey(WineKey& key, std::string& out, RenderMap& map, bool rewriteAll) {
    if (!rewriteAll && !key.changed && !key.regenerate) {
        if (!key.section.empty()) {
            Separate(out);
            std::size_t start = out.size();
            out.append(key.section);
            map.keys.push_back({&key, start, key.section.size()});
            if (key.values)
                for (WineValue& value : *key.values)
                    if (!value.raw.empty())
                        map.values.push_back(
                            {&value, start + static_cast<std::size_t>(value.raw.data() - key.section.data()),
                             value.raw.size()});
        }
    } else {
        std::vector<WineValue>& values = Values(key);
        // Options other than the time, as the file had them (#class, #link, ...).
        std::vector<std::string_view> options;
        bool hasClass = false, hasLink = false;
        if (!key.section.empty()) {
            std::size_t pos = 0;
            NextLine(key.section, pos);
            while (pos < key.section.size()) {
                std::size_t at = 0;
                std::string_view line = NextLine(key.section, pos);
                char first = FirstChar(line, at);
                if (first == '[') break;
                if (first != '#' || line.substr(at).starts_with("#time=")) continue;
                options.push_back(line);
                hasClass = hasClass || line.substr(at).starts_with("#class=");
                hasLink = hasLink || line.substr(at).starts_with("#link");
            }
        }
        // Wine leaves out keys that only hold subkeys; they come back from their subkeys' paths.
        if (!values.empty() || key.children.empty() || hasClass || key.link) {
            Separate(out);
            std::size_t start = out.size();
            const std::uint64_t modified = KeyTime(key);
            out += '[';
            AppendPath(key, out);
            char buffer[64];
            out.append(buffer, static_cast<std::size_t>(std::snprintf(
                                   buffer, sizeof buffer, "] %u\n#time=%x%08x\n", SecondsSince1970(modified),
                                   unsigned(modified >> 32), unsigned(modified & 0xFFFFFFFFu))));
            for (std::string_view option : options) {
                out.append(option);
                if (option.back() != '\n') out += '\n';
            }
            if (key.link && !hasLink) out += "#link\n";
            for (WineValue& value : values) {
                std::size_t valueStart = out.size();
                if (!rewriteAll && !value.raw.empty()) {
                    out.append(value.raw);
                    if (value.raw.back() != '\n') out += '\n';
                } else {
                    AppendValueText(out, value);
                }
                map.values.push_back({&value, valueStart, out.size() - valueStart});
            }
            map.keys.push_back({&key, start, out.size() - start});
        }
    }
    for (WineKey* child : key.children)
        if (child->hive == this) RenderKey(*child, out, map, rewriteAll); // not the store's keys of no file
}

void Hive::Adopt(std::string text, const RenderMap& map) {
    text_ = std::move(text);
    std::string_view all(text_);
    keys_.ForEach([](WineKey& key) {
        key.section = {};
        key.changed = key.regenerate = false;
        if (key.values)
            for (WineValue& value : *key.values)
                value.raw = {};
    });
    std::size_t preambleEnd = map.keys.empty() ? all.size() : map.keys.front().offset;
    preamble_ = all.substr(0, std::min(preamble_.size(), preambleEnd));
    for (const auto& span : map.keys)
        span.key->section = all.substr(span.offset, span.length);
    for (const auto& span : map.values)
        span.value->raw = all.substr(span.offset, span.length);
}

std::uint64_t KeyTime(const WineKey& key) {
    return key.changed || key.section.empty() ? key.modified : ParseTime(key.section);
}

} // namespace hw::store::wine
