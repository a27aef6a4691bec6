#include "model/UiPort.h"

#include <algorithm>

namespace tarnwick {

void UiPort::Subscribe(EntryEvents* subscriber) {
    std::lock_guard lock(subscribersMutex_);
    subscribers_.push_back(subscriber);
}

void UiPort::Unsubscribe(EntryEvents* subscriber) {
    std::lock_guard lock(subscribersMutex_);
    std::erase(subscribers_, subscriber);
}

template <typename Tell>
void UiPort::Publish(Tell tell) {
    if (!IsOpen()) {
        return;
    }
    std::vector<EntryEvents*> subscribers;
    {
        std::lock_guard lock(subscribersMutex_);
        subscribers = subscribers_;
    }
    for (EntryEvents* subscriber : subscribers) {
        tell(*subscriber);
    }
}

void UiPort::SetStatusText(const std::string& text) {
    if (auto* status = Open(status_)) {
        status->SetStatusText(text);
    }
}

void UiPort::SetLastActionText(const std::string& text) {
    if (auto* status = Open(status_)) {
        status->SetLastActionText(text);
    }
}

void UiPort::SetCurrentProjectText(const std::string& text) {
    if (auto* status = Open(status_)) {
        status->SetCurrentProjectText(text);
    }
}

void UiPort::PlayBusyAnimation() {
    if (auto* status = Open(status_)) {
        status->PlayBusyAnimation();
    }
}

void UiPort::StopBusyAnimation() {
    if (auto* status = Open(status_)) {
        status->StopBusyAnimation();
    }
}

void UiPort::ShowMessage(const std::string& text) {
    if (auto* messages = Open(messages_)) {
        messages->ShowMessage(text);
    }
}

bool UiPort::AskYesNo(const std::string& question) {
    auto* messages = Open(messages_);
    return messages != nullptr && messages->AskYesNo(question);
}

void UiPort::EntryAdded(const EntryView& entry) {
    Publish([&](EntryEvents& subscriber) { subscriber.EntryAdded(entry); });
}

void UiPort::EntryChanged(const EntryChange& change) {
    Publish([&](EntryEvents& subscriber) { subscriber.EntryChanged(change); });
}

void UiPort::EntryRemoved(ListCategory list, EntryId id) {
    Publish([&](EntryEvents& subscriber) { subscriber.EntryRemoved(list, id); });
}

void UiPort::ListsEmptied() {
    Publish([](EntryEvents& subscriber) { subscriber.ListsEmptied(); });
}

void UiPort::EntryEnded(const EntryView& entry, const Outcome& outcome) {
    Publish([&](EntryEvents& subscriber) { subscriber.EntryEnded(entry, outcome); });
}

void UiPort::CrawlBegan(EntryId project, const std::string& name) {
    Publish([&](EntryEvents& subscriber) { subscriber.CrawlBegan(project, name); });
}

void UiPort::FileStored(EntryId project, const std::string& name, const std::string& localPath) {
    Publish([&](EntryEvents& subscriber) { subscriber.FileStored(project, name, localPath); });
}

}  // namespace tarnwick
