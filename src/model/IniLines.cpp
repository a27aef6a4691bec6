#include "model/IniLines.h"

namespace tarnwick {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view WithoutCr(std::string_view line) {
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace

void ForEachIniLine(std::string_view text, const std::function<void(const IniLine&)>& visit,
                    const IniSyntax& syntax) {
    const auto cleaned = syntax.verbatim ? WithoutCr : Trimmed;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = cleaned(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.empty() || line.front() == '#' || (!syntax.verbatim && line.front() == ';')) {
            continue;
        }
        IniLine parsed;
        parsed.number = number;
        if (!syntax.verbatim && line.front() == '[' && line.back() == ']' && line.size() > 2) {
            parsed.isSection = true;
            parsed.name = line.substr(1, line.size() - 2);
            visit(parsed);
            continue;
        }
        const std::size_t separator = line.find(syntax.separator);
        if (separator == std::string_view::npos) {
            if (syntax.verbatim) {
                parsed.isBare = true;
                parsed.name = line;
                visit(parsed);
            }
            continue;
        }
        parsed.name = line.substr(0, separator);
        parsed.value = line.substr(separator + 1);
        if (!syntax.verbatim) {
            parsed.name = Trimmed(parsed.name);
            parsed.value = Trimmed(parsed.value);
        }
        visit(parsed);
    }
}

}  // namespace tarnwick
