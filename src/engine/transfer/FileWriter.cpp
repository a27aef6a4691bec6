#include "engine/transfer/FileWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace tarnwick {

namespace {
constexpr std::size_t kBufferBytes = 64 * 1024;
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
    if (buffered_ + data.size() <= kBufferBytes) {
        if (!buffer_) {
            buffer_ = std::make_unique<char[]>(kBufferBytes);
        }
        std::memcpy(buffer_.get() + buffered_, data.data(), data.size());
        buffered_ += data.size();
        return true;
    }
    return Flush() && WriteOut(data);
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
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0 ||
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
