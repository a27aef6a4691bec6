#include "engine/search/ResultPattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace tarnwick {

namespace {

// Enough for any sane pattern on a capped page, far below what would stall a worker.
constexpr std::uint32_t kMatchLimit = 5'000'000;
constexpr std::uint32_t kHeapLimitKiB = 16 * 1024;

std::string ErrorMessage(int code) {
    PCRE2_UCHAR text[256];
    if (pcre2_get_error_message(code, text, sizeof text) < 0) {
        return "error " + std::to_string(code);
    }
    return reinterpret_cast<const char*>(text);
}

}  // namespace

struct ResultPattern::Code {
    explicit Code(pcre2_code* compiled)
        : code(compiled), context(pcre2_match_context_create(nullptr)) {
        pcre2_set_match_limit(context, kMatchLimit);
        pcre2_set_heap_limit(context, kHeapLimitKiB);
    }
    ~Code() {
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }
    Code(const Code&) = delete;
    Code& operator=(const Code&) = delete;

    pcre2_code* code;
    pcre2_match_context* context;
};

std::optional<ResultPattern> ResultPattern::Compile(std::string_view pattern, std::string& error) {
    int code = 0;
    PCRE2_SIZE offset = 0;
    // Bytes, not UTF-8: result pages come in any encoding and links are copied as they stand.
    pcre2_code* compiled = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()),
                                         pattern.size(), 0, &code, &offset, nullptr);
    if (compiled == nullptr) {
        error = "does not compile: " + ErrorMessage(code) + " at offset " + std::to_string(offset);
        return std::nullopt;
    }
    auto shared = std::make_shared<const Code>(compiled);
    std::uint32_t groups = 0;
    pcre2_pattern_info(compiled, PCRE2_INFO_CAPTURECOUNT, &groups);
    if (groups == 0) {
        error = "has no capture group";
        return std::nullopt;
    }
    if (shared->context == nullptr) {
        error = "cannot be prepared: out of memory";
        return std::nullopt;
    }
    return ResultPattern(std::move(shared));
}

bool ResultPattern::ForEachLink(std::string_view page,
                                const std::function<bool(std::string_view)>& onLink) const {
    if (!code_) {
        return true;
    }
    pcre2_match_data* match = pcre2_match_data_create_from_pattern(code_->code, nullptr);
    if (match == nullptr) {
        return false;
    }
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(page.data());
    PCRE2_SIZE start = 0;
    bool complete = true;
    while (start <= page.size()) {
        const int result =
            pcre2_match(code_->code, subject, page.size(), start, 0, match, code_->context);
        if (result < 0) {
            complete = result == PCRE2_ERROR_NOMATCH;
            break;
        }
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(match);
        if (result >= 2 && vector[2] != PCRE2_UNSET &&
            !onLink(page.substr(vector[2], vector[3] - vector[2]))) {
            break;
        }
        // An empty match would be found again at the same place.
        start = vector[1] > start ? vector[1] : start + 1;
    }
    pcre2_match_data_free(match);
    return complete;
}

}  // namespace tarnwick
