#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace tarnwick {

// A local file being written, with a buffer of its own for small writes (a crawl writes
// pages line by line) while large blocks go straight to the file. Everything streamed to disk
// goes through it, opened by a ConfinedFolder: the file worker's partial files and the
// crawler's files. A failed write is remembered with its errno, so the worker can say why (a
// full disk).
class FileWriter {
public:
    FileWriter() = default;
    // Takes the descriptor over; position is where writing continues (the file's offset).
    explicit FileWriter(int fd, std::uint64_t position = 0);
    ~FileWriter();
    FileWriter(FileWriter&& other) noexcept;
    FileWriter& operator=(FileWriter&& other) noexcept;
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // False once any write has failed; nothing is written after that.
    bool Write(std::string_view data);
    bool Flush();
    // Flushes and closes; false when a write or the flush failed.
    bool Close();

    // Cuts the file to size and continues writing there.
    bool TruncateTo(std::uint64_t size);
    // Bytes in the file once the buffer is written out; after a failure, the bytes that
    // reached the file.
    std::uint64_t Position() const { return written_ + buffered_; }
    int ErrorNumber() const { return errorNumber_; }
    int Descriptor() const { return fd_; }

private:
    bool WriteOut(std::string_view data);
    void Fail(int errorNumber);

    int fd_ = -1;
    std::uint64_t written_ = 0;  // bytes that reached the file
    std::unique_ptr<char[]> buffer_;
    std::size_t buffered_ = 0;
    bool failed_ = false;
    int errorNumber_ = 0;
};

}  // namespace tarnwick
