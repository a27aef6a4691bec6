#include "engine/OutputFile.h"

#include <unistd.h>

#include <utility>

namespace tarnwick {

OutputFile::OutputFile(int fd) {
    if (fd < 0) {
        return;
    }
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        ::close(fd);
    }
}

OutputFile::~OutputFile() {
    Close();
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), failed_(std::exchange(other.failed_, false)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::exchange(other.file_, nullptr);
        failed_ = std::exchange(other.failed_, false);
    }
    return *this;
}

bool OutputFile::Write(std::string_view data) {
    if (file_ == nullptr) {
        return false;
    }
    if (!failed_ && std::fwrite(data.data(), 1, data.size(), file_) != data.size()) {
        failed_ = true;
    }
    return !failed_;
}

bool OutputFile::Close() {
    if (file_ == nullptr) {
        return !std::exchange(failed_, false);
    }
    const bool closed = std::fclose(std::exchange(file_, nullptr)) == 0;
    return closed && !std::exchange(failed_, false);
}

}  // namespace tarnwick
