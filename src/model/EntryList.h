#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Records.h"

namespace tarnwick {

// An ordered list of records that copies records in, keeps insertion order (index 0 is the
// oldest) and finds entries by key with ASCII case folding, first match winning.
// It has no lock of its own: SharedState's mutex guards the shared lists. A pointer from
// GetAt stays valid only until the next Append or RemoveAt on the same list.
template <typename Record>
class EntryList {
public:
    EntryList() = default;
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    // Copies the record in (taken by value, so appending an entry of the same list is safe)
    // and cuts each text to its field's width.
    void Append(Record record) {
        FitFields(record);
        entries_.push_back(std::move(record));
        MarkChanged();
    }

    void RemoveAt(int index) {
        if (!InRange(index)) {
            return;
        }
        entries_.erase(entries_.begin() + index);
        MarkChanged();
    }

    int FindByName(std::string_view key) const {
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (EqualsIgnoreCase(KeyOf(entries_[i]), key)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    Record* GetAt(int index) { return InRange(index) ? &entries_[index] : nullptr; }
    const Record* GetAt(int index) const { return InRange(index) ? &entries_[index] : nullptr; }

    int GetCount() const { return static_cast<int>(entries_.size()); }

    int IsModified() const { return modified_; }

    void SetModified(int modified) {
        if (modified != 0) {
            MarkChanged();
        } else {
            modified_ = 0;
        }
    }

    // Counts every change, so a saver can tell whether the list changed after its snapshot.
    std::uint64_t ChangeCount() const { return changeCount_; }

    // Clears the modified flag only if nothing changed since the given count was read.
    void ClearModifiedIfUnchangedSince(std::uint64_t changeCount) {
        if (changeCount_ == changeCount) {
            modified_ = 0;
        }
    }

    const std::vector<Record>& Entries() const { return entries_; }

    void Reserve(std::size_t count) { entries_.reserve(count); }

private:
    bool InRange(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < entries_.size();
    }

    void MarkChanged() {
        modified_ = 1;
        ++changeCount_;
    }

    std::vector<Record> entries_;
    int modified_ = 0;
    std::uint64_t changeCount_ = 0;
};

class FileEntryList : public EntryList<FileEntry> {
public:
    void AppendUrl(std::string_view url) {
        Append(FileEntry{std::string(url), "Ready for download"});
    }
};

using WebProjectList = EntryList<WebProject>;
using SearchProjectList = EntryList<SearchProject>;
using RunningJobTable = EntryList<RunningJob>;

}  // namespace tarnwick
