#pragma once

#include <cstdio>
#include <string_view>

namespace tarnwick {

// A local file being written through a buffered stream; closed when the object goes.
class OutputFile {
public:
    OutputFile() = default;
    explicit OutputFile(int fd);  // takes the descriptor over
    ~OutputFile();
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    bool Write(std::string_view data);
    // Flushes and closes; false when a write or the flush failed.
    bool Close();

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace tarnwick
