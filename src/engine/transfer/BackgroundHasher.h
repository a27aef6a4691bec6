#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/transfer/Hasher.h"
#include "model/Checksum.h"

namespace tarnwick {

// A Hasher on a thread of its own, so that a checked download is received and hashed at
// once: Update copies the bytes into one of a few blocks and returns, and the thread hashes
// full blocks behind it. Memory stays at those blocks (at most 4 MiB) whatever the file's
// size; Update waits only when the thread is that far behind.
class BackgroundHasher {
public:
    explicit BackgroundHasher(ChecksumAlgorithm algorithm);
    ~BackgroundHasher();
    BackgroundHasher(const BackgroundHasher&) = delete;
    BackgroundHasher& operator=(const BackgroundHasher&) = delete;

    void Update(std::string_view data);
    // Lower-case hex of everything given since the start or the last Reset.
    std::string FinishHex();
    void Reset();

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
    };

    void Run();
    // Hands the block being filled to the thread and takes a free one.
    void Hand();
    // Waits until the thread has hashed every block handed to it.
    void Drain();

    Hasher hasher_;  // used by the thread only, and by callers once drained
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Block> free_;
    std::vector<Block> full_;  // in order: the thread takes the front
    Block filling_;
    int blocks_ = 0;     // blocks made so far
    bool busy_ = false;  // the thread is hashing a block
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tarnwick
