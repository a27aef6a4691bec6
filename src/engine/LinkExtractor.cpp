#include "engine/LinkExtractor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <vector>

#include "model/Records.h"

namespace tarnwick {

namespace {

constexpr auto npos = std::string_view::npos;

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != npos;
}

// A position as a signed number, -1 when absent, so "before" compares as the rules intend.
long long PositionOf(std::size_t position) {
    return position == npos ? -1 : static_cast<long long>(position);
}

std::vector<std::string_view> NonEmptySegments(std::string_view text, char separator) {
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == npos) {
            end = text.size();
        }
        if (end > start) {
            segments.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return segments;
}

std::string WithForwardSlashes(std::string_view text) {
    std::string result(text);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string_view WithoutFinalSlash(std::string_view root) {
    if (!root.empty() && root.back() == '/') {
        root.remove_suffix(1);
    }
    return root;
}

// The value runs from `start` to the terminator found at `end` (npos: no link).
bool TakeValue(std::string_view line, std::size_t start, std::size_t end, std::string& link) {
    if (end == npos) {
        return false;
    }
    link.assign(line.substr(start, end - start));
    return true;
}

// The first terminator kind that occurs at or after start, tried in the given order.
std::size_t FirstKindFound(std::string_view text, std::size_t start,
                           std::initializer_list<std::string_view> kinds) {
    for (std::string_view kind : kinds) {
        const std::size_t found = text.find(kind, start);
        if (found != npos) {
            return found;
        }
    }
    return npos;
}

}  // namespace

bool LinkExtractor::ExtractHref(std::string_view line, std::string& link) {
    const std::string lower = AsciiLowercase(line);
    if (Contains(lower, "mailto:")) {
        return false;
    }
    if (const std::size_t p = lower.find("href=\""); p != npos) {
        const std::size_t start = p + 6;
        return TakeValue(line, start, lower.find('"', start), link);
    }
    if (const std::size_t p = lower.find("href='"); p != npos) {
        const std::size_t start = p + 6;
        return TakeValue(line, start, FirstKindFound(lower, start, {"' ", "'\"", "'>"}), link);
    }
    if (const std::size_t p = lower.find("href="); p != npos) {
        const std::size_t start = p + 5;
        return TakeValue(line, start, FirstKindFound(lower, start, {">", " "}), link);
    }
    return false;
}

bool LinkExtractor::ExtractFrameSrc(std::string_view line, std::string& link) {
    const std::string lower = AsciiLowercase(line);
    if (!Contains(lower, "frame")) {
        return false;
    }
    const std::size_t p = lower.find("src=\"");
    if (p == npos) {
        return false;
    }
    const std::size_t start = p + 5;
    return TakeValue(line, start, lower.find("\" ", start), link);
}

bool LinkExtractor::ExtractImageSrc(std::string_view line, std::string& link) {
    const std::string lower = AsciiLowercase(line);
    if (Contains(lower, "img")) {
        ImagePending = true;
    } else if (!ImagePending) {
        return false;
    }
    bool taken = false;
    if (const std::size_t p = lower.find("src=\""); p != npos) {
        const std::size_t start = p + 5;
        taken = TakeValue(line, start, FirstKindFound(lower, start, {"\" ", "\">"}), link);
    } else if (const std::size_t bare = lower.find("src="); bare != npos) {
        const std::size_t start = bare + 4;
        taken = TakeValue(line, start, FirstKindFound(lower, start, {" ", ">"}), link);
    }
    if (taken) {
        ImagePending = false;
    }
    return taken;
}

bool LinkExtractor::PassesTypeFilter(std::string_view link, const WebProject& project) {
    if (link.empty()) {
        return false;
    }
    if (project.downloadAll != 0) {
        return true;
    }
    if (PositionOf(link.rfind('.')) < PositionOf(link.rfind('/'))) {
        return true;
    }
    const std::string lower = AsciiLowercase(link);
    const std::array<std::pair<std::string_view, int>, 6> flaggedTypes = {{
        {".zip", project.getZip},
        {".gif", project.getGif},
        {".jpg", project.getJpg},
        {".exe", project.getExe},
        {".mp3", project.getMp3},
        {".pdf", project.getPdf},
    }};
    for (const auto& [extension, wanted] : flaggedTypes) {
        if (wanted != 0 && Contains(lower, extension)) {
            return true;
        }
    }
    for (std::string_view pageType : {".htm", ".shtml", ".cgi", ".asp"}) {
        if (Contains(lower, pageType)) {
            return true;
        }
    }
    return !project.otherTypes.empty() && Contains(lower, project.otherTypes);
}

bool LinkExtractor::LinkContains(std::string_view text, std::string_view link) {
    const std::string lowerLink = AsciiLowercase(link);
    return !Contains(lowerLink, "#") && Contains(lowerLink, AsciiLowercase(text));
}

void LinkExtractor::SiteRoot(std::string_view url, std::string& root) {
    const std::size_t schemeEnd = url.find("//");
    if (schemeEnd == npos) {
        return;
    }
    const std::size_t slash = url.find('/', schemeEnd + 2);
    if (slash == npos) {
        root.assign(url);
        root += '/';
    } else {
        root.assign(url.substr(0, slash + 1));
    }
}

bool LinkExtractor::IsPageUrl(std::string_view url) {
    if (url.empty()) {
        return false;
    }
    const std::string lower = AsciiLowercase(url);
    if (Contains(lower, ".htm") || Contains(lower, ".shtm") || url.back() == '/') {
        return true;
    }
    if (PositionOf(url.rfind('.')) < PositionOf(url.rfind('/'))) {
        return true;
    }
    return std::count(url.begin(), url.end(), '/') == 2;
}

void LinkExtractor::ResolveParentSegments(std::string_view subfolder, std::string& link) {
    const std::vector<std::string_view> folders = NonEmptySegments(subfolder, '\\');
    const std::vector<std::string_view> parts = NonEmptySegments(link, '/');
    const auto ups = static_cast<std::size_t>(std::count(parts.begin(), parts.end(), ".."));
    const std::size_t keep = folders.size() > ups ? folders.size() - ups : 0;
    std::string resolved;
    for (std::size_t i = 0; i < keep; ++i) {
        resolved += '/';
        resolved += folders[i];
    }
    for (std::size_t i = ups; i < parts.size(); ++i) {
        resolved += '/';
        resolved += parts[i];
    }
    link = std::move(resolved);
}

// Not Url::Resolve: './' leads to the start root, '..' drops subfolders, text stays as written.
void LinkExtractor::ResolveLink(std::string_view startRoot, std::string_view page,
                                std::string_view subfolder, std::string& link) {
    if (link.empty()) {
        return;
    }
    if (page.empty()) {
        if (!Contains(link, "://")) {
            link.insert(0, "http://");
        }
        return;
    }
    const std::string_view root = WithoutFinalSlash(startRoot);
    if (link.front() == '/') {
        link.insert(0, root);
    } else if (Contains(link, "..")) {
        ResolveParentSegments(subfolder, link);
        link.insert(0, root);
    } else if (Contains(link, "./")) {
        link = std::string(root) + link.substr(1);
    } else if (!Contains(link, "//")) {
        std::string base;
        SiteRoot(page, base);
        if (!subfolder.empty()) {
            base += WithForwardSlashes(subfolder.substr(1));
            base += '/';
        }
        link.insert(0, base);
    }
}

void LinkExtractor::LocalSubfolder(std::string_view startRoot, std::string_view url,
                                   std::string& subfolder) {
    const auto rootLength = static_cast<long long>(startRoot.size());
    const long long lastSlash = PositionOf(url.rfind('/'));
    if (rootLength >= lastSlash) {
        subfolder.clear();
        return;
    }
    std::string folders(
        url.substr(startRoot.size(), static_cast<std::size_t>(lastSlash - rootLength)));
    std::replace(folders.begin(), folders.end(), '/', '\\');
    subfolder = '\\' + folders;
}

bool LinkExtractor::HasIllegalChars(std::string_view text) {
    return text.find_first_of("?,*+") != npos;
}

void LinkExtractor::RewriteLinkToLocal(std::string_view link, std::string_view siteFolderPath,
                                       std::string_view subfolder, std::string& line) {
    if (link.empty() || !Contains(link, "/")) {
        return;
    }
    for (std::string_view scheme : {"http:", "ftp:", "news:", "gopher:"}) {
        if (Contains(link, scheme)) {
            return;
        }
    }
    const std::size_t p = line.find(link);
    if (p == npos) {
        return;
    }
    std::string prefix = WithForwardSlashes(siteFolderPath);
    if (link.front() != '/') {
        prefix += WithForwardSlashes(subfolder);
        prefix += '/';
    }
    line.insert(p, prefix);
}

void LinkExtractor::MakeSubfolders(const std::string& siteFolder, std::string_view subfolder) {
    if (subfolder.empty()) {
        return;
    }
    // Walks by descriptor, so neither a symbolic link inside the site nor a path's length
    // can lead the folders anywhere but below the site folder.
    int folder = ::open(siteFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::string_view segment : NonEmptySegments(subfolder, '\\')) {
        if (folder < 0 || segment == "." || segment == ".." || Contains(segment, "/")) {
            break;
        }
        const std::string name(segment);
        ::mkdirat(folder, name.c_str(), 0755);
        const int child =
            ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(folder);
        folder = child;
    }
    if (folder >= 0) {
        ::close(folder);
    }
}

}  // namespace tarnwick
