#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// A search engine's result pattern: a Perl-compatible regular expression whose first capture
// group is a result link. Matching is bounded (PCRE2's match and heap limits), so a pattern
// that backtracks badly on a hostile page gives up instead of hanging or exhausting memory.
// Copies share the compiled pattern, which is safe to match from several threads.
class ResultPattern {
public:
    // A pattern that matches nothing.
    ResultPattern() = default;

    // The compiled pattern, or nothing with the reason in `error`; a pattern without a
    // capture group is refused too.
    static std::optional<ResultPattern> Compile(std::string_view pattern, std::string& error);

    // Calls onLink with the first group of each match, left to right, until it returns false.
    // Returns false when the page was too costly to match to its end.
    bool ForEachLink(std::string_view page,
                     const std::function<bool(std::string_view)>& onLink) const;

private:
    struct Code;
    explicit ResultPattern(std::shared_ptr<const Code> code) : code_(std::move(code)) {}

    std::shared_ptr<const Code> code_;
};

}  // namespace tarnwick
