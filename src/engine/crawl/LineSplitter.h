#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tarnwick {

// Cuts a byte stream into lines as it arrives: a line ends at a line feed, which is dropped,
// and every carriage return is dropped. A line longer than the cap is handed on in pieces of
// the cap, so no more than the cap is ever buffered.
class LineSplitter {
public:
    static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

    // line: may be changed in place by the sink; complete: false for a piece of an overlong
    // line that goes on in the next call. Returns false to stop the stream.
    using LineSink = std::function<bool(std::string& line, bool complete)>;

    explicit LineSplitter(std::size_t maxLineBytes = kMaxLineBytes);

    // Hands every line that the data completes to the sink; false once the sink said stop.
    bool Feed(std::string_view data, const LineSink& sink);

    // Hands on the last line if the stream did not end with a line feed.
    bool Finish(const LineSink& sink);

private:
    bool Emit(bool complete, const LineSink& sink);

    std::size_t maxLineBytes_;
    std::string pending_;
};

}  // namespace tarnwick
