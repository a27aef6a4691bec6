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

}  // namespace

void ForEachIniLine(std::string_view text, const std::function<void(const IniLine&)>& visit) {
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        IniLine parsed;
        parsed.number = number;
        if (line.front() == '[' && line.back() == ']' && line.size() > 2) {
            parsed.isSection = true;
            parsed.name = line.substr(1, line.size() - 2);
            visit(parsed);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        parsed.name = Trimmed(line.substr(0, equals));
        parsed.value = Trimmed(line.substr(equals + 1));
        visit(parsed);
    }
}

}  // namespace tarnwick
