#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/EntryEvents.h"

namespace tarnwick {

// The status panel: three texts and the busy clip.
class StatusDisplay {
public:
    virtual ~StatusDisplay() = default;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetLastActionText(const std::string& text) = 0;
    virtual void SetCurrentProjectText(const std::string& text) = 0;
    virtual void PlayBusyAnimation() = 0;
    virtual void StopBusyAnimation() = 0;
};

// Modal message boxes; the caller waits until the user has answered.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& question) = 0;
};

// What the core sees of the user interfaces: one status panel, one place for messages, and
// the entry events, which every subscriber receives in the order they are made. Each call
// may come from any thread and returns only after the interfaces have carried it out.
// Never call it while holding SharedState's mutex: the GUI thread may be waiting for it.
// Before attaching every call does nothing and answers a neutral value; after Close so does
// every call from a thread other than the one that closed it.
class UiPort final : public StatusDisplay, public MessageBoxes, public EntryEvents {
public:
    void AttachStatus(StatusDisplay* status) { status_ = status; }
    void AttachMessages(MessageBoxes* messages) { messages_ = messages; }
    // A subscriber stays until it unsubscribes; it must not be destroyed while a call to it
    // may still come, which Close and the end of the workers rule out.
    void Subscribe(EntryEvents* subscriber);
    void Unsubscribe(EntryEvents* subscriber);

    // Used first at exit, on the interface thread: from then on no worker reaches a window,
    // while the exit itself can still show its messages.
    void Close() {
        closer_ = std::this_thread::get_id();
        closed_ = true;
    }
    bool IsClosed() const { return closed_; }

    void SetStatusText(const std::string& text) override;
    void SetLastActionText(const std::string& text) override;
    void SetCurrentProjectText(const std::string& text) override;
    void PlayBusyAnimation() override;
    void StopBusyAnimation() override;

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& question) override;

    void EntryAdded(const EntryView& entry) override;
    void EntryChanged(const EntryChange& change) override;
    void EntryRemoved(ListCategory list, EntryId id) override;
    void ListsEmptied() override;
    void EntryEnded(const EntryView& entry, const Outcome& outcome) override;
    void CrawlBegan(EntryId project, const std::string& name) override;
    void FileStored(EntryId project, const std::string& name,
                    const std::string& localPath) override;

private:
    bool IsOpen() const { return !closed_ || std::this_thread::get_id() == closer_.load(); }

    template <typename Target>
    Target* Open(const std::atomic<Target*>& target) const {
        return IsOpen() ? target.load() : nullptr;
    }

    // Calls tell on each subscriber, outside the subscribers' lock, so that a subscriber may
    // take its time (the window's waits for the GUI thread) while others subscribe.
    template <typename Tell>
    void Publish(Tell tell);

    std::atomic<bool> closed_{false};
    std::atomic<std::thread::id> closer_{};
    std::atomic<StatusDisplay*> status_{nullptr};
    std::atomic<MessageBoxes*> messages_{nullptr};
    std::mutex subscribersMutex_;
    std::vector<EntryEvents*> subscribers_;
};

}  // namespace tarnwick
