#include "engine/transfer/BackgroundHasher.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

namespace {
constexpr std::size_t kBlockBytes = 512 * 1024;  // a handover, and a wakeup, per half MiB
// Blocks are added while the thread is behind, up to this many (4 MiB): a thread that waits
// a few milliseconds for a busy core must not hold the transfer back meanwhile.
constexpr int kMostBlocks = 8;
}  // namespace

BackgroundHasher::BackgroundHasher(ChecksumAlgorithm algorithm)
    : hasher_(algorithm), filling_{std::make_unique<char[]>(kBlockBytes), 0}, blocks_(1) {
    thread_ = std::thread([this] { Run(); });
}

BackgroundHasher::~BackgroundHasher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundHasher::Run() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return stopping_ || !full_.empty(); });
        if (full_.empty()) {
            return;
        }
        Block block = std::move(full_.front());
        full_.erase(full_.begin());
        busy_ = true;
        lock.unlock();
        hasher_.Update(std::string_view(block.bytes.get(), block.size));
        lock.lock();
        busy_ = false;
        block.size = 0;
        free_.push_back(std::move(block));
        changed_.notify_all();
    }
}

void BackgroundHasher::Hand() {
    std::unique_lock lock(mutex_);
    full_.push_back(std::move(filling_));
    changed_.notify_all();
    if (free_.empty() && blocks_ < kMostBlocks) {
        ++blocks_;
        filling_ = Block{std::make_unique<char[]>(kBlockBytes), 0};
        return;
    }
    changed_.wait(lock, [this] { return !free_.empty(); });
    filling_ = std::move(free_.back());
    free_.pop_back();
}

void BackgroundHasher::Update(std::string_view data) {
    while (!data.empty()) {
        const std::size_t room = kBlockBytes - filling_.size;
        const std::size_t taken = std::min(room, data.size());
        std::memcpy(filling_.bytes.get() + filling_.size, data.data(), taken);
        filling_.size += taken;
        data.remove_prefix(taken);
        if (filling_.size == kBlockBytes) {
            Hand();
        }
    }
}

void BackgroundHasher::Drain() {
    if (filling_.size > 0) {
        Hand();
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return full_.empty() && !busy_; });
}

std::string BackgroundHasher::FinishHex() {
    Drain();
    return hasher_.FinishHex();
}

void BackgroundHasher::Reset() {
    Drain();
    hasher_.Reset();
}

}  // namespace tarnwick
