#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

class JobGate;

// Field widths count a terminating byte, as the list files and dialogs have always
// assumed: a text of width w holds at most w - 1 bytes.
inline constexpr std::size_t kUrlWidth = 255;
inline constexpr std::size_t kFileStatusWidth = 257;
inline constexpr std::size_t kNameWidth = 80;
inline constexpr std::size_t kStartUrlWidth = 256;
inline constexpr std::size_t kOtherTypesWidth = 100;
inline constexpr std::size_t kCredentialWidth = 20;
inline constexpr std::size_t kProjectStatusWidth = 32;
inline constexpr std::size_t kSearchStringWidth = 256;
inline constexpr std::size_t kReservedTextWidth = 20;
inline constexpr std::size_t kJobNameWidth = 256;

// One file given by URL, or one link found by a search.
struct FileEntry {
    std::string url;
    std::string status;  // in SearchResults: the name of the project that found the link
};

// One web site to be mirrored by following its links.
struct WebProject {
    std::string name;
    std::string startUrl;
    int downloadAll = 0;
    int getZip = 0;
    int getGif = 0;
    int getJpg = 0;
    int getExe = 0;
    int getMp3 = 0;
    int getPdf = 0;
    int getHtm = 0;
    std::string otherTypes;
    int runWhenRequested = 0;
    int stopWhenRequested = 0;
    int startMinute = 0;
    int startHour = 0;
    int stopMinute = 0;
    int stopHour = 0;
    int maxDomainCount = 0;
    int reserved = 0;
    int exitDomain = 0;
    std::string userName;
    std::string password;
    std::string status;
};

// One search string sent to search engines.
struct SearchProject {
    std::string name;
    std::string searchString;
    int useAltavista = 0;
    int useHotBot = 0;
    int useYahoo = 0;
    int useNorthernLight = 0;
    int useWebCrawler = 0;
    int useMsn = 0;
    int useGo2Net = 0;
    int runWhenRequested = 0;
    int stopWhenRequested = 0;
    int startMinute = 0;
    int startHour = 0;
    int stopMinute = 0;
    int stopHour = 0;
    std::string reservedText1;
    std::string reservedText2;
    std::string status;
    // Engines asked beyond the seven flags, by their names in searchengines.conf. Kept in a
    // file of their own, since reqsearch.data keeps its format.
    std::vector<std::string> otherEngines;
};

// One running worker, found again by the key of its entry.
struct RunningJob {
    std::shared_ptr<JobGate> thread;  // pauses, resumes and cancels the worker
    std::string name;
    int row = 0;  // not read: jobs are found by entry id; kept for code that still fills it
};

// Cuts text to at most width - 1 bytes without splitting a UTF-8 sequence.
void FitText(std::string& text, std::size_t width);
std::string FittedText(std::string_view text, std::size_t width);

// Cuts every text field of a record to its width.
void FitFields(FileEntry& entry);
void FitFields(WebProject& project);
void FitFields(SearchProject& project);
void FitFields(RunningJob& job);

// The key that look-ups compare.
inline const std::string& KeyOf(const FileEntry& entry) {
    return entry.url;
}
inline const std::string& KeyOf(const WebProject& project) {
    return project.name;
}
inline const std::string& KeyOf(const SearchProject& project) {
    return project.name;
}
inline const std::string& KeyOf(const RunningJob& job) {
    return job.name;
}

// Equality with ASCII letters folded, as strcasecmp compares in the "C" locale.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// The text with its ASCII letters lower-cased and every other byte as it was.
std::string AsciiLowercase(std::string_view text);
// A hash that is the same for keys equal by EqualsIgnoreCase.
std::size_t FoldedKeyHash(std::string_view key);

// A web project as a new one starts: everything empty and zero, run and stop on request.
WebProject BlankWebProject();

}  // namespace tarnwick
