#include "store/hive/compact_writer.h"

#include "store/hive/regf_layout.h"
#include "store/wine/wine_text.h"

#include <algorithm>
#include <map>

namespace hw::store::hive {

namespace {

using namespace regf;

constexpr std::uint32_t kNone = 0xFFFFFFFF;
constexpr std::size_t kNodeFixed = 0x4C;
constexpr std::size_t kValueFixed = 0x14;
constexpr std::size_t kLargestCellData = 16344; // larger data is split into segments of this size
constexpr std::size_t kListChunk = 512;         // subkeys per hash list below an index
constexpr std::uint16_t kCompressedName = 0x20;

// A name as the hive stores it: Latin-1 when every character fits, else UTF-16.
struct StoredName {
    std::string bytes;
    bool compressed = true;
    std::u16string units;
};

StoredName Store(std::string_view name) {
    StoredName stored;
    stored.units = wine::Utf16FromUtf8(name);
    stored.compressed =
        std::all_of(stored.units.begin(), stored.units.end(), [](char16_t u) { return u < 0x100; });
    for (char16_t unit : stored.units) {
        stored.bytes += static_cast<char>(unit & 0xFF);
        if (!stored.compressed) stored.bytes += static_cast<char>(unit >> 8);
    }
    return stored;
}

char16_t Upper(char16_t unit) {
    if ((unit >= 'a' && unit <= 'z') || (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7)) return unit - 0x20;
    return unit;
}

// Windows finds subkeys by a binary search in upper case, so lists are written in that order.
bool UpperBefore(const std::u16string& a, const std::u16string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char16_t x, char16_t y) { return Upper(x) < Upper(y); });
}

std::uint32_t NameHash(const std::u16string& units) {
    std::uint32_t hash = 0;
    for (char16_t unit : units)
        hash = hash * 37 + Upper(unit);
    return hash;
}

std::string DefaultSecurity() {
    const unsigned char bytes[] = {
        1, 0, 0x04, 0x80, 20, 0,    0,    0, 36,   0, 0,    0, 0, 0, 0, 0, 48, 0, 0,  0, 1, 2, 0, 0, 0,  0,
        0, 5, 32,   0,    0,  0,    0x20, 2, 0,    0, 1,    1, 0, 0, 0, 0, 0,  5, 18, 0, 0, 0, 2, 0, 28, 0,
        1, 0, 0,    0,    0,  0x02, 20,   0, 0x3F, 0, 0x0F, 0, 1, 1, 0, 0, 0,  0, 0,  1, 0, 0, 0, 0,
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

class Writer {
  public:
    explicit Writer(const HiveSource& source) : source_(source) {}

    std::string Write(HiveKey& root) {
        const std::uint32_t rootCell = WriteKey(root, kNone, DefaultSecurity());
        CloseBin();
        for (const auto& [descriptor, security] : securities_)
            Put32(security.cell, 0x0C, security.uses);
        return BaseBlock(rootCell) + bins_;
    }

  private:
    struct Security {
        std::uint32_t cell = 0, uses = 0;
    };

    // ---- cells in hive bins

    std::uint32_t Allocate(std::size_t content) {
        const std::size_t size = (content + 4 + 7) & ~std::size_t{7};
        if (bins_.size() + size > binEnd_) {
            CloseBin();
            const std::size_t binSize =
                std::max(kBinSize, (size + kBinHeaderSize + kBinSize - 1) & ~(kBinSize - 1));
            const std::size_t start = bins_.size();
            bins_.append(binSize, '\0');
            bins_.replace(start, 4, "hbin");
            Write32(bins_, start + 4, static_cast<std::uint32_t>(start));
            Write32(bins_, start + 8, static_cast<std::uint32_t>(binSize));
            bins_.resize(start + kBinHeaderSize);
            binEnd_ = start + binSize;
        }
        const std::size_t at = bins_.size();
        bins_.append(size, '\0');
        Write32(bins_, at, static_cast<std::uint32_t>(-static_cast<std::int32_t>(size)));
        return static_cast<std::uint32_t>(at);
    }

    void CloseBin() {
        if (bins_.size() < binEnd_) {
            const std::size_t at = bins_.size();
            bins_.append(binEnd_ - at, '\0');
            Write32(bins_, at, static_cast<std::uint32_t>(binEnd_ - at)); // one free cell to the bin's end
        }
    }

    void Put32(std::uint32_t cell, std::size_t field, std::uint32_t value) {
        Write32(bins_, cell + 4 + field, value);
    }
    void PutBytes(std::uint32_t cell, std::size_t field, std::string_view bytes) {
        bins_.replace(cell + 4 + field, bytes.size(), bytes);
    }

    // ---- what keys read from the old file keep

    // The cell's content in the old file, empty when the offset leads nowhere sound.
    std::string_view OldCell(std::uint64_t offset) const {
        const std::string_view file = source_.original;
        const std::uint64_t at = offset + kBaseBlockSize;
        if (offset == kNone || at + 4 > file.size()) return {};
        const auto size = static_cast<std::int32_t>(Read32(file, at));
        if (size >= 0 || at + static_cast<std::uint64_t>(-size) > file.size()) return {};
        return file.substr(at + 4, static_cast<std::size_t>(-size) - 4);
    }

    std::string_view OldNode(const HiveKey& key) const {
        if (!key.node || key.node + 4 > source_.original.size()) return {};
        const std::string_view node = OldCell(key.node - kBaseBlockSize);
        return node.size() >= kNodeFixed && node.starts_with("nk") ? node : std::string_view();
    }

    std::string OldSecurity(std::string_view node, const std::string& inherited) const {
        if (node.empty()) return inherited;
        const std::string_view sk = OldCell(Read32(node, 0x2C));
        if (sk.size() < 0x14 || !sk.starts_with("sk") || Read32(sk, 0x10) > sk.size() - 0x14)
            return inherited;
        return std::string(sk.substr(0x14, Read32(sk, 0x10)));
    }

    std::uint32_t SecurityCell(const std::string& descriptor) {
        auto [found, added] = securities_.try_emplace(descriptor);
        if (added) {
            const std::uint32_t cell = Allocate(0x14 + descriptor.size());
            PutBytes(cell, 0, "sk");
            // The descriptors form a ring.
            const std::uint32_t first = firstSecurity_ == kNone ? cell : firstSecurity_;
            const std::uint32_t last = lastSecurity_ == kNone ? cell : lastSecurity_;
            Put32(cell, 0x04, last);
            Put32(cell, 0x08, first);
            Put32(last, 0x08, cell);
            Put32(first, 0x04, cell);
            Put32(cell, 0x10, static_cast<std::uint32_t>(descriptor.size()));
            PutBytes(cell, 0x14, descriptor);
            if (firstSecurity_ == kNone) firstSecurity_ = cell;
            lastSecurity_ = cell;
            found->second.cell = cell;
        }
        ++found->second.uses;
        return found->second.cell;
    }

    // ---- keys and values

    std::uint32_t WriteData(std::string_view data) {
        if (data.size() <= kLargestCellData) {
            const std::uint32_t cell = Allocate(data.size());
            PutBytes(cell, 0, data);
            return cell;
        }
        std::vector<std::uint32_t> segments;
        for (std::size_t at = 0; at < data.size(); at += kLargestCellData)
            segments.push_back(WriteData(data.substr(at, kLargestCellData)));
        const std::uint32_t list = Allocate(4 * segments.size());
        for (std::size_t i = 0; i < segments.size(); ++i)
            Put32(list, 4 * i, segments[i]);
        const std::uint32_t big = Allocate(8);
        PutBytes(big, 0, "db");
        bins_[big + 4 + 2] = static_cast<char>(segments.size() & 0xFF);
        bins_[big + 4 + 3] = static_cast<char>(segments.size() >> 8);
        Put32(big, 4, list);
        return big;
    }

    std::uint32_t WriteValue(const HiveValue& value) {
        const StoredName name = Store(value.name);
        const std::uint32_t cell = Allocate(kValueFixed + name.bytes.size());
        PutBytes(cell, 0, "vk");
        Write16(bins_, cell + 4 + 2, static_cast<std::uint16_t>(name.bytes.size()));
        const auto size = static_cast<std::uint32_t>(value.raw.size());
        if (size <= 4) {
            Put32(cell, 4, size | 0x80000000); // the data stands in the offset field
            PutBytes(cell, 8, value.raw);
        } else {
            Put32(cell, 4, size);
            const std::uint32_t data = WriteData(value.raw);
            Put32(cell, 8, data);
        }
        Put32(cell, 0x0C, value.type);
        Write16(bins_, cell + 4 + 0x10, name.compressed ? 1 : 0);
        PutBytes(cell, kValueFixed, name.bytes);
        return cell;
    }

    std::uint32_t HashList(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& entries) {
        const std::uint32_t cell = Allocate(4 + 8 * entries.size());
        PutBytes(cell, 0, "lh");
        Write16(bins_, cell + 4 + 2, static_cast<std::uint16_t>(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            Put32(cell, 4 + 8 * i, entries[i].first);
            Put32(cell, 8 + 8 * i, entries[i].second);
        }
        return cell;
    }

    std::uint32_t SubkeyList(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& entries) {
        if (entries.size() <= kListChunk) return HashList(entries);
        std::vector<std::uint32_t> lists;
        for (std::size_t at = 0; at < entries.size(); at += kListChunk)
            lists.push_back(HashList(
                {entries.begin() + static_cast<std::ptrdiff_t>(at),
                 entries.begin() + static_cast<std::ptrdiff_t>(std::min(at + kListChunk, entries.size()))}));
        const std::uint32_t index = Allocate(4 + 4 * lists.size());
        PutBytes(index, 0, "ri");
        Write16(bins_, index + 4 + 2, static_cast<std::uint16_t>(lists.size()));
        for (std::size_t i = 0; i < lists.size(); ++i)
            Put32(index, 4 + 4 * i, lists[i]);
        return index;
    }

    std::uint32_t WriteKey(HiveKey& key, std::uint32_t parent, const std::string& inherited) {
        const StoredName name = Store(key.name);
        const std::string_view old = OldNode(key);
        const std::uint32_t node = Allocate(kNodeFixed + name.bytes.size());
        std::uint16_t flags =
            old.empty() ? (parent == kNone ? 0x0C : 0) : static_cast<std::uint16_t>(Read32(old, 0) >> 16);
        flags =
            static_cast<std::uint16_t>((flags & ~kCompressedName) | (name.compressed ? kCompressedName : 0));
        PutBytes(node, 0, "nk");
        Write16(bins_, node + 4 + 2, flags);
        Write64(bins_, node + 4 + 4, key.modified);
        Put32(node, 0x10, parent);
        Put32(node, 0x20, kNone);
        const std::string security = OldSecurity(old, inherited);
        Put32(node, 0x2C, SecurityCell(security));
        Put32(node, 0x30, kNone);
        if (!old.empty()) {
            const std::uint16_t classLength = static_cast<std::uint16_t>(Read32(old, 0x48) >> 16);
            const std::string_view className = OldCell(Read32(old, 0x30));
            if (classLength && className.size() >= classLength) {
                const std::uint32_t cell = Allocate(classLength);
                PutBytes(cell, 0, className.substr(0, classLength));
                Put32(node, 0x30, cell);
                Write16(bins_, node + 4 + 0x4A, classLength);
            }
        }
        Write16(bins_, node + 4 + 0x48, static_cast<std::uint16_t>(name.bytes.size()));
        PutBytes(node, kNodeFixed, name.bytes);

        const std::vector<HiveValue> values = source_.values(key);
        std::uint32_t longestName = 0, largestData = 0;
        std::vector<std::uint32_t> valueCells;
        for (const HiveValue& value : values) {
            valueCells.push_back(WriteValue(value));
            longestName =
                std::max(longestName, static_cast<std::uint32_t>(2 * Store(value.name).units.size()));
            largestData = std::max(largestData, static_cast<std::uint32_t>(value.raw.size()));
        }
        Put32(node, 0x24, static_cast<std::uint32_t>(values.size()));
        Put32(node, 0x28, kNone);
        if (!valueCells.empty()) {
            const std::uint32_t list = Allocate(4 * valueCells.size());
            for (std::size_t i = 0; i < valueCells.size(); ++i)
                Put32(list, 4 * i, valueCells[i]);
            Put32(node, 0x28, list);
        }
        Put32(node, 0x3C, longestName);
        Put32(node, 0x40, largestData);

        std::vector<std::pair<std::u16string, HiveKey*>> children;
        for (const auto& child : source_.children(key))
            if (child->file)
                children.emplace_back(Store(child->name).units, child.get()); // links of no file stay out
        std::sort(children.begin(), children.end(),
                  [](const auto& a, const auto& b) { return UpperBefore(a.first, b.first); });
        std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
        std::uint32_t longestKey = 0;
        for (const auto& [units, child] : children) {
            entries.emplace_back(WriteKey(*child, node, security), NameHash(units));
            longestKey = std::max(longestKey, static_cast<std::uint32_t>(2 * units.size()));
        }
        Put32(node, 0x14, static_cast<std::uint32_t>(entries.size()));
        Put32(node, 0x1C, entries.empty() ? kNone : SubkeyList(entries));
        Put32(node, 0x34, longestKey);
        return node;
    }

    std::string BaseBlock(std::uint32_t rootCell) const {
        std::string base = source_.original.size() >= kBaseBlockSize
                               ? std::string(source_.original.substr(0, kBaseBlockSize))
                               : std::string(kBaseBlockSize, '\0');
        const std::uint32_t sequence = Read32(base, kPrimarySequence) + 1;
        base.replace(0, 4, "regf");
        Write32(base, kPrimarySequence, sequence);
        Write32(base, kSecondarySequence, sequence);
        Write64(base, kTimestamp, NowFileTime());
        Write32(base, kMajorVersion, 1);
        Write32(base, kMinorVersion, std::max<std::uint32_t>(Read32(base, kMinorVersion), 5));
        Write32(base, 0x1C, 0);
        Write32(base, kFileFormat, 1);
        Write32(base, kRootCell, rootCell);
        Write32(base, kBinsSize, static_cast<std::uint32_t>(bins_.size()));
        Write32(base, kClustering, 1);
        Write32(base, kChecksum, Checksum(base));
        return base;
    }

    const HiveSource& source_;
    std::string bins_;
    std::size_t binEnd_ = 0;
    std::map<std::string, Security> securities_;
    std::uint32_t firstSecurity_ = kNone, lastSecurity_ = kNone;
};

} // namespace

std::string CompactHive(HiveKey& root, const HiveSource& source) {
    return Writer(source).Write(root);
}

} // namespace hw::store::hive
