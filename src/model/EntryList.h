#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/EntryId.h"
#include "model/LiveSlots.h"
#include "model/Records.h"

namespace tarnwick {

// An ordered list of records that copies records in, keeps insertion order (index 0 is the
// oldest) and finds entries by key with ASCII case folding, first match winning. Each entry
// also has an EntryId, by which it is found, changed and removed in O(1) whatever the length
// of the list; by index it takes O(log n). Removed entries leave holes that are closed once
// they outnumber the entries.
// It has no lock of its own: SharedState's mutex guards the shared lists. A pointer from
// GetAt or Find stays valid only until the next Append or removal on the same list; an entry's
// key may be changed through it, and the index takes the change into account at the next
// look-up.
template <typename Record>
class EntryList {
public:
    EntryList() = default;
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    // Ids are given from this counter from now on, so that the lists sharing it never give
    // one id twice; the owner of the counter outlives the list.
    void ShareIdsWith(EntryId& counter) { nextId_ = &counter; }

    // Copies the record in (taken by value, so appending an entry of the same list is safe)
    // and cuts each text to its field's width. Returns the new entry's id.
    EntryId Append(Record record) { return Adopt(std::move(record), kNoEntry); }

    // Appends under the id the entry had in another list; a new one when it has none or the
    // id is in this list already.
    EntryId Adopt(Record record, EntryId id) {
        FitFields(record);
        if (id == kNoEntry || slotOf_.contains(id)) {
            id = (*nextId_)++;
        }
        const std::size_t slot = slots_.size();
        const std::size_t hash = FoldedKeyHash(KeyOf(record));
        slots_.push_back(Slot{id, hash, std::move(record)});
        live_.PushLive();
        slotOf_.emplace(id, slot);
        byKey_.emplace(hash, id);
        MarkChanged();
        return id;
    }

    void RemoveAt(int index) {
        if (InRange(index)) {
            RemoveSlot(live_.SlotOfRank(static_cast<std::size_t>(index)));
        }
    }

    // False when the list has no such entry.
    bool Remove(EntryId id) {
        const auto found = slotOf_.find(id);
        if (found == slotOf_.end()) {
            return false;
        }
        RemoveSlot(found->second);
        return true;
    }

    int FindByName(std::string_view key) const {
        const std::optional<std::size_t> slot = FirstSlotOf(key);
        return slot ? static_cast<int>(live_.LiveBefore(*slot)) : -1;
    }

    EntryId FindIdByName(std::string_view key) const {
        const std::optional<std::size_t> slot = FirstSlotOf(key);
        return slot ? slots_[*slot].id : kNoEntry;
    }

    Record* GetAt(int index) { return InRange(index) ? Touch(SlotOfIndex(index)) : nullptr; }
    const Record* GetAt(int index) const {
        return InRange(index) ? &*slots_[SlotOfIndex(index)].record : nullptr;
    }

    Record* Find(EntryId id) {
        const auto found = slotOf_.find(id);
        return found != slotOf_.end() ? Touch(found->second) : nullptr;
    }
    const Record* Find(EntryId id) const {
        const auto found = slotOf_.find(id);
        return found != slotOf_.end() ? &*slots_[found->second].record : nullptr;
    }

    EntryId IdAt(int index) const {
        return InRange(index) ? slots_[SlotOfIndex(index)].id : kNoEntry;
    }

    int GetCount() const { return static_cast<int>(live_.LiveCount()); }

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

    // The entries in order, with their ids: for (const auto& [id, record] : list.WithIds()).
    class Range;
    Range WithIds() const { return Range(slots_); }
    // The records in order.
    class Records;
    Records Entries() const { return Records(slots_); }

    void Reserve(std::size_t count) {
        slots_.reserve(count);
        live_.Reserve(count);
        slotOf_.reserve(count);
        byKey_.reserve(count);
    }

private:
    struct Slot {
        EntryId id = kNoEntry;
        std::size_t keyHash = 0;  // of the key as last indexed
        std::optional<Record> record;
    };

public:
    // Iterates the live slots of the list in order.
    template <typename Value, typename Project>
    class SlotIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::remove_cvref_t<Value>;
        using reference = Value;
        using pointer = void;
        using difference_type = std::ptrdiff_t;

        SlotIterator(const std::vector<Slot>& all, std::size_t at) : slots_(&all), at_(at) {
            SkipHoles();
        }
        Value operator*() const { return Project{}((*slots_)[at_]); }
        SlotIterator& operator++() {
            ++at_;
            SkipHoles();
            return *this;
        }
        bool operator==(const SlotIterator& other) const { return at_ == other.at_; }

    private:
        void SkipHoles() {
            while (at_ < slots_->size() && !(*slots_)[at_].record) {
                ++at_;
            }
        }
        const std::vector<Slot>* slots_;
        std::size_t at_;
    };

    struct IdAndRecord {
        std::pair<EntryId, const Record&> operator()(const Slot& slot) const {
            return {slot.id, *slot.record};
        }
    };
    struct RecordOnly {
        const Record& operator()(const Slot& slot) const { return *slot.record; }
    };

    class Range {
    public:
        using iterator = SlotIterator<std::pair<EntryId, const Record&>, IdAndRecord>;
        explicit Range(const std::vector<Slot>& all) : slots_(all) {}
        iterator begin() const { return iterator(slots_, 0); }
        iterator end() const { return iterator(slots_, slots_.size()); }

    private:
        const std::vector<Slot>& slots_;
    };

    class Records {
    public:
        using iterator = SlotIterator<const Record&, RecordOnly>;
        explicit Records(const std::vector<Slot>& all) : slots_(all) {}
        iterator begin() const { return iterator(slots_, 0); }
        iterator end() const { return iterator(slots_, slots_.size()); }

    private:
        const std::vector<Slot>& slots_;
    };

private:
    bool InRange(int index) const {
        return index >= 0 && static_cast<std::size_t>(index) < live_.LiveCount();
    }

    std::size_t SlotOfIndex(int index) const {
        return live_.SlotOfRank(static_cast<std::size_t>(index));
    }

    // Hands out a record that may be changed, key included: the index looks at it again at
    // the next look-up.
    Record* Touch(std::size_t slot) {
        touched_.push_back(slots_[slot].id);
        return &*slots_[slot].record;
    }

    // The slot of the oldest entry with this key.
    std::optional<std::size_t> FirstSlotOf(std::string_view key) const {
        Reindex();
        std::optional<std::size_t> first;
        const auto [begin, end] = byKey_.equal_range(FoldedKeyHash(key));
        for (auto candidate = begin; candidate != end; ++candidate) {
            const std::size_t slot = slotOf_.at(candidate->second);
            if ((!first || slot < *first) && EqualsIgnoreCase(KeyOf(*slots_[slot].record), key)) {
                first = slot;
            }
        }
        return first;
    }

    // Files again the entries handed out for change whose key changed meanwhile.
    void Reindex() const {
        for (const EntryId id : touched_) {
            const auto found = slotOf_.find(id);
            if (found == slotOf_.end()) {
                continue;
            }
            Slot& slot = slots_[found->second];
            const std::size_t hash = FoldedKeyHash(KeyOf(*slot.record));
            if (hash != slot.keyHash) {
                EraseKey(slot.keyHash, id);
                byKey_.emplace(hash, id);
                slot.keyHash = hash;
            }
        }
        touched_.clear();
    }

    void EraseKey(std::size_t hash, EntryId id) const {
        const auto [begin, end] = byKey_.equal_range(hash);
        for (auto candidate = begin; candidate != end; ++candidate) {
            if (candidate->second == id) {
                byKey_.erase(candidate);
                return;
            }
        }
    }

    void RemoveSlot(std::size_t slot) {
        Reindex();
        Slot& removed = slots_[slot];
        EraseKey(removed.keyHash, removed.id);
        slotOf_.erase(removed.id);
        removed.record.reset();
        live_.MarkDead(slot);
        MarkChanged();
        if (slots_.size() > 2 * live_.LiveCount() + kHolesKept) {
            CloseHoles();
        }
    }

    void CloseHoles() {
        std::erase_if(slots_, [](const Slot& slot) { return !slot.record; });
        live_.Clear();
        slotOf_.clear();
        for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
            live_.PushLive();
            slotOf_.emplace(slots_[slot].id, slot);
        }
    }

    void MarkChanged() {
        modified_ = 1;
        ++changeCount_;
    }

    // A few holes are left open, so a short list that loses entries one by one is not
    // rewritten every time.
    static constexpr std::size_t kHolesKept = 32;

    // The index is brought up to date by look-ups, which are const.
    mutable std::vector<Slot> slots_;
    LiveSlots live_;
    std::unordered_map<EntryId, std::size_t> slotOf_;
    mutable std::unordered_multimap<std::size_t, EntryId> byKey_;
    mutable std::vector<EntryId> touched_;
    EntryId ownNextId_ = 1;
    EntryId* nextId_ = &ownNextId_;
    int modified_ = 0;
    std::uint64_t changeCount_ = 0;
};

class FileEntryList : public EntryList<FileEntry> {
public:
    EntryId AppendUrl(std::string_view url) {
        return Append(FileEntry{std::string(url), "Ready for download"});
    }
};

using WebProjectList = EntryList<WebProject>;
using SearchProjectList = EntryList<SearchProject>;
using RunningJobTable = EntryList<RunningJob>;

}  // namespace tarnwick
