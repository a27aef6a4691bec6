#include "storage/FileWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace tarnwick {

namespace {
constexpr std::size_t kBufferBytes = 256 * 1024;  // four writes per MiB received
}

FileWriter::FileWriter(int fd, std::uint64_t position) : fd_(fd), written_(position) {}

FileWriter::~FileWriter() {
    Close();
}

FileWriter::FileWriter(FileWriter&& other) noexcept {
    *this = std::move(other);
}

FileWriter& FileWriter::operator=(FileWriter&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        written_ = std::exchange(other.written_, 0);
        buffer_ = std::move(other.buffer_);
        buffered_ = std::exchange(other.buffered_, 0);
        failed_ = std::exchange(other.failed_, false);
        errorNumber_ = std::exchange(other.errorNumber_, 0);
    }
    return *this;
}

void FileWriter::Fail(int errorNumber) {
    failed_ = true;
    errorNumber_ = errorNumber;
}

bool FileWriter::WriteOut(std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd_, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(errno);
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
        written_ += static_cast<std::uint64_t>(written);
    }
    return true;
}

bool FileWriter::Write(std::string_view data) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    // Pieces are gathered into whole buffers, so the file gets few full-sized writes whatever
    // size they come in (libcurl hands a block over 16 KiB at a time).
    while (!data.empty()) {
        if (buffered_ == 0 && data.size() >= kBufferBytes) {
            return WriteOut(data);
        }
        if (!buffer_) {
            // Not zeroed: a small file touches only the pages it fills.
            buffer_ = std::make_unique_for_overwrite<char[]>(kBufferBytes);
        }
        const std::size_t taken = std::min(kBufferBytes - buffered_, data.size());
        std::memcpy(buffer_.get() + buffered_, data.data(), taken);
        buffered_ += taken;
        data.remove_prefix(taken);
        if (buffered_ == kBufferBytes && !Flush()) {
            return false;
        }
    }
    return true;
}

bool FileWriter::Flush() {
    if (fd_ < 0 || failed_) {
        return false;
    }
    const std::size_t pending = std::exchange(buffered_, 0);
    return pending == 0 || WriteOut(std::string_view(buffer_.get(), pending));
}

bool FileWriter::TruncateTo(std::uint64_t size) {
    if (!Flush()) {
        return false;
    }
    // ext4 writes a file out as it is closed once it has been truncated (its guard for files
    // replaced by truncating them), which would make closing a fresh partial file wait.
    struct stat status {};
    const bool cut =
        ::fstat(fd_, &status) != 0 || static_cast<std::uint64_t>(status.st_size) != size;
    if ((cut && ::ftruncate(fd_, static_cast<off_t>(size)) != 0) ||
        ::lseek(fd_, static_cast<off_t>(size), SEEK_SET) < 0) {
        Fail(errno);
        return false;
    }
    written_ = size;
    return true;
}

bool FileWriter::Close() {
    if (fd_ < 0) {
        return !std::exchange(failed_, false);
    }
    const bool flushed = Flush();
    const bool closed = ::close(std::exchange(fd_, -1)) == 0;
    buffer_.reset();
    return flushed && closed && !std::exchange(failed_, false);
}

}  // namespace tarnwick
