#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace korvana::dbupgrade {

// A row of the template database and the row of the project database that
// matches it by name.
struct CGroupEntry {
    std::int32_t TemplateID = 0;
    std::int32_t ProjectID = 0;
};

// Template IDs to project IDs, keyed by the template ID in decimal. A lookup of
// an ID that is not in the map finds nothing; the caller then treats the row as
// unmatched.
class GroupIdMap {
  public:
    void add(const CGroupEntry& entry) { entries_[std::to_string(entry.TemplateID)] = entry; }
    std::optional<CGroupEntry> find(std::int32_t templateId) const {
        const auto found = entries_.find(std::to_string(templateId));
        if (found == entries_.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    std::size_t size() const { return entries_.size(); }

  private:
    std::map<std::string, CGroupEntry> entries_;
};

} // namespace korvana::dbupgrade
