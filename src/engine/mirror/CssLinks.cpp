#include "engine/mirror/CssLinks.h"

#include <cctype>

namespace tarnwick {

namespace {

bool StartsWithWord(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) {
            return false;
        }
    }
    return true;
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::size_t SkipBlanks(std::string_view css, std::size_t at) {
    while (at < css.size() && IsBlank(css[at])) {
        ++at;
    }
    return at;
}

// The end of a string that opens at `at`: the closing quote, or the line end or text end
// where a broken string stops.
std::size_t StringEnd(std::string_view css, std::size_t at) {
    const char quote = css[at];
    std::size_t i = at + 1;
    while (i < css.size() && css[i] != quote && css[i] != '\n') {
        i += css[i] == '\\' ? 2 : 1;
    }
    return i < css.size() ? i : css.size();
}

class Scanner {
public:
    explicit Scanner(std::string_view css) : css_(css) {}

    std::vector<LinkSpan> Run() {
        std::size_t i = 0;
        while (i < css_.size()) {
            const char c = css_[i];
            if (c == '/' && i + 1 < css_.size() && css_[i + 1] == '*') {
                const std::size_t close = css_.find("*/", i + 2);
                i = close == std::string_view::npos ? css_.size() : close + 2;
            } else if (c == '"' || c == '\'') {
                i = StringEnd(css_, i) + 1;
            } else if (c == '@' && StartsWithWord(css_, i + 1, "import")) {
                i = Import(i + 7);
            } else if ((c == 'u' || c == 'U') && StartsWithWord(css_, i, "url(") &&
                       (i == 0 || !IsNameChar(css_[i - 1]))) {
                i = Url(i + 4, LinkUse::Resource);
            } else {
                ++i;
            }
        }
        return std::move(spans_);
    }

private:
    std::size_t Import(std::size_t at) {
        at = SkipBlanks(css_, at);
        if (at < css_.size() && (css_[at] == '"' || css_[at] == '\'')) {
            const std::size_t end = StringEnd(css_, at);
            Add(at + 1, end, LinkUse::StyleSheet);
            return end + 1;
        }
        if (StartsWithWord(css_, at, "url(")) {
            return Url(at + 4, LinkUse::StyleSheet);
        }
        return at;
    }

    std::size_t Url(std::size_t at, LinkUse use) {
        at = SkipBlanks(css_, at);
        if (at < css_.size() && (css_[at] == '"' || css_[at] == '\'')) {
            const std::size_t end = StringEnd(css_, at);
            Add(at + 1, end, use);
            return end + 1;
        }
        std::size_t end = at;
        while (end < css_.size() && css_[end] != ')' && !IsBlank(css_[end])) {
            end += css_[end] == '\\' ? 2 : 1;
        }
        end = end < css_.size() ? end : css_.size();
        Add(at, end, use);
        return end;
    }

    void Add(std::size_t begin, std::size_t end, LinkUse use) {
        if (end > begin) {
            spans_.push_back({begin, end, use});
        }
    }

    std::string_view css_;
    std::vector<LinkSpan> spans_;
};

}  // namespace

std::vector<LinkSpan> FindCssLinks(std::string_view css) {
    return Scanner(css).Run();
}

}  // namespace tarnwick
