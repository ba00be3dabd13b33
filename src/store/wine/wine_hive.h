// One registry file of a Wine prefix in memory: the file's text kept whole, a tree of keys pointing into it,
// and values read from a key's lines only when first asked for. Saving copies the lines of untouched keys and
// writes changed keys as Wine does, so an untouched file comes out byte for byte the same.
#pragma once

#include "platform/winreg.h"
#include "store/wine/wine_shape.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hw::store::wine {

class Hive;

struct WineValue {
    std::string name; // UTF-8
    DWORD type = 0;
    std::string data;     // strings as UTF-8 with their NULs, everything else as stored
    std::string_view raw; // its lines in the file; empty once changed
};

struct WineKey;
// When the key last changed: its new time once changed, else the time its file gives it.
std::uint64_t KeyTime(const WineKey& key);

// A key's subkeys; most keys have none, so the list costs one pointer until the first one comes.
class ChildList {
  public:
    using Keys = std::vector<WineKey*>;
    const Keys& View() const { return keys_ ? *keys_ : kNone; }
    Keys& Edit() {
        if (!keys_) keys_ = std::make_unique<Keys>();
        return *keys_;
    }
    Keys::const_iterator begin() const { return View().begin(); }
    Keys::const_iterator end() const { return View().end(); }
    std::size_t size() const { return View().size(); }
    bool empty() const { return View().empty(); }
    WineKey* operator[](std::size_t index) const { return View()[index]; }

  private:
    static const Keys kNone;
    std::unique_ptr<Keys> keys_;
};

struct WineKey {
    std::string_view name; // UTF-8, kept by its hive's NameStore (or static for keys of no file)
    WineKey* parent = nullptr;
    Hive* hive = nullptr;     // null for keys that belong to no file
    ChildList children;       // in Wine's order of names
    std::string_view section; // its lines in the file up to the next key; empty when it has none
    std::unique_ptr<std::vector<WineValue>> values; // read from the section on first use
    std::uint64_t modified = 0; // the time written for a changed key (100 ns units since 1601)
    bool link = false;
    bool changed = false;    // written anew with a new time
    bool regenerate = false; // written anew from its content (two sections of one key were merged)
    bool deleted = false;
};

// Key names of one hive, packed in large blocks: a name of its own allocation would cost more than the
// name.
class NameStore {
  public:
    std::string_view Keep(std::string_view name);
    void Clear();

  private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = 0, capacity_ = 0;
};

// The keys of one hive, made in chunks that never move, so keys can point at each other.
class KeyPool {
  public:
    WineKey& Make();
    void Clear();
    template <typename Visit> void ForEach(Visit visit) {
        for (std::size_t i = 0; i < count_; ++i)
            visit(chunks_[i / kChunk][i % kChunk]);
    }

  private:
    static constexpr std::size_t kChunk = 1024;
    std::vector<std::unique_ptr<WineKey[]>> chunks_;
    std::size_t count_ = 0;
};

// Where the text of each written key and value landed in a newly rendered file.
struct RenderMap {
    struct KeySpan {
        WineKey* key;
        std::size_t offset, length;
    };
    struct ValueSpan {
        WineValue* value;
        std::size_t offset, length;
    };
    std::vector<KeySpan> keys;
    std::vector<ValueSpan> values;
};

class Hive {
  public:
    // Reads a whole file's text; throws std::runtime_error naming what is wrong when it is no registry file.
    // A registry file that is damaged loads as far as it can be read, and Damaged() says where.
    void Load(std::string text, std::string rootName);
    // The first damaged line of the loaded file (see FindDamage), or a key that has a second section.
    const Damage& Damaged() const { return damage_; }

    WineKey& Root() { return *root_; }
    // The last name of the ";; All keys relative to" line (the user's SID in user.reg).
    const std::string& RelativeRootName() const { return relativeRootName_; }
    void RenameRoot(std::string_view name) { root_->name = names_.Keep(name); }
    const std::string& Text() const { return text_; }

    // The child of that name, or null.
    static WineKey* FindChild(const WineKey& parent, std::string_view name);
    WineKey& AddChild(WineKey& parent, std::string_view name);
    std::vector<WineValue>& Values(WineKey& key);

    // rewriteAll writes every key and value from its parsed content (what Wine would write), for checks.
    std::string Render(RenderMap& map, bool rewriteAll = false);
    // Makes a rendered text the file's text: keys and values then point into it and count as unchanged.
    void Adopt(std::string text, const RenderMap& map);

  private:
    WineKey& NewKey(WineKey& parent, std::string_view name, std::size_t position);
    void RenderKey(WineKey& key, std::string& out, RenderMap& map, bool rewriteAll);
    void AppendPath(const WineKey& key, std::string& out) const;

    std::string text_;
    std::string_view preamble_;
    std::string relativeRootName_;
    Damage damage_;
    NameStore names_;
    KeyPool keys_;
    WineKey* root_ = nullptr;
};

// Values of one section's lines (the header line first), later names replacing earlier ones as Wine reads
// them.
void ParseSectionValues(std::string_view section, std::vector<WineValue>& values);
// The value's line(s) as Wine writes them.
void AppendValueText(std::string& out, const WineValue& value);

} // namespace hw::store::wine
