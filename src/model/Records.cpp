#include "model/Records.h"

#include <cstdint>

namespace tarnwick {

namespace {

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

void FitText(std::string& text, std::size_t width) {
    const std::size_t limit = width == 0 ? 0 : width - 1;
    if (text.size() <= limit) {
        return;
    }
    std::size_t cut = limit;
    // Back up to the start of the sequence the cut would split.
    while (cut > 0 && IsUtf8Continuation(text[cut])) {
        --cut;
    }
    text.resize(cut);
}

std::string FittedText(std::string_view text, std::size_t width) {
    std::string result(text.substr(0, width));
    FitText(result, width);
    return result;
}

void FitFields(FileEntry& entry) {
    FitText(entry.url, kUrlWidth);
    FitText(entry.status, kFileStatusWidth);
}

void FitFields(WebProject& project) {
    FitText(project.name, kNameWidth);
    FitText(project.startUrl, kStartUrlWidth);
    FitText(project.otherTypes, kOtherTypesWidth);
    FitText(project.userName, kCredentialWidth);
    FitText(project.password, kCredentialWidth);
    FitText(project.status, kProjectStatusWidth);
}

void FitFields(SearchProject& project) {
    FitText(project.name, kNameWidth);
    FitText(project.searchString, kSearchStringWidth);
    FitText(project.reservedText1, kReservedTextWidth);
    FitText(project.reservedText2, kReservedTextWidth);
    FitText(project.status, kProjectStatusWidth);
}

void FitFields(RunningJob& job) {
    FitText(job.name, kJobNameWidth);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    // From the end: keys in one list tend to share their beginning (scheme, host, folder).
    for (std::size_t i = a.size(); i > 0; --i) {
        if (a[i - 1] != b[i - 1] && FoldAscii(a[i - 1]) != FoldAscii(b[i - 1])) {
            return false;
        }
    }
    return true;
}

std::string AsciiLowercase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = FoldAscii(c);
    }
    return lower;
}

std::size_t FoldedKeyHash(std::string_view key) {
    // FNV-1a over the folded bytes: keys equal ignoring case hash alike.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : key) {
        hash ^= static_cast<unsigned char>(FoldAscii(c));
        hash *= 1099511628211ULL;
    }
    return static_cast<std::size_t>(hash);
}

WebProject BlankWebProject() {
    WebProject project;
    project.runWhenRequested = 1;
    project.stopWhenRequested = 1;
    return project;
}

}  // namespace tarnwick
