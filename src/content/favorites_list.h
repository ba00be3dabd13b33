// The favourites held for the run: "name=key path" lines in the order they were added.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace hw::content {

// What the store says about a key: a store that cannot be read answers Unknown.
enum class KeyPresence { Present, Absent, Unknown };
KeyPresence KeyPathPresence(const std::string& path);

class FavoritesList {
  public:
    FavoritesList() = default;
    explicit FavoritesList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    const std::vector<std::string>& Lines() const { return lines_; }
    std::vector<std::string> Names() const;

    // The name is the text before the first equals sign, the key path everything after it.
    static std::string NameOf(const std::string& line);
    static std::string PathOf(const std::string& line);

    // Names are looked up without regard to letter case.
    bool Contains(const std::string& name) const;
    std::optional<std::string> PathOfName(const std::string& name) const;
    // Replaces the key path of an existing name, else appends the favourite; true when appended.
    bool Put(const std::string& name, const std::string& keyPath);
    void Remove(const std::string& name);

    // Drops favourites whose key the store says is absent. When the store cannot answer for one of them,
    // nothing is dropped: a locked or vanished database must not cost the user their favourites.
    void PruneAbsentKeys();

  private:
    std::vector<std::string>::iterator Find(const std::string& name);
    std::vector<std::string>::const_iterator Find(const std::string& name) const;

    std::vector<std::string> lines_;
};

} // namespace hw::content
