// Feeds each input line to every link scanner routine, as a crawl does, and checks the few
// properties that hold for any input: an extracted link is a piece of its line, and a
// rewrite only ever inserts text before the link.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/LinkExtractor.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void ScanLine(tarnwick::LinkExtractor& scanner, const tarnwick::WebProject& project,
              std::string_view line) {
    using tarnwick::LinkExtractor;
    const std::string startRoot = "http://host/";
    const std::string page = "http://host/a/b/p.htm";
    const std::string pageSubfolder = "\\a\\b";
    std::string links[3];
    const bool found[3] = {scanner.ExtractImageSrc(line, links[0]),
                           LinkExtractor::ExtractHref(line, links[1]),
                           LinkExtractor::ExtractFrameSrc(line, links[2])};
    for (int i = 0; i < 3; ++i) {
        if (!found[i]) {
            continue;
        }
        std::string& link = links[i];
        Require(line.find(link) != std::string_view::npos);
        LinkExtractor::PassesTypeFilter(link, project);
        LinkExtractor::LinkContains(line, link);
        LinkExtractor::HasIllegalChars(link);

        std::string rewritten(line);
        LinkExtractor::RewriteLinkToLocal(link, "/work/WebSites/demo", pageSubfolder, rewritten);
        Require(rewritten.size() >= line.size());
        Require(std::string_view(rewritten).ends_with(line.substr(line.find(link))));

        std::string resolved = link;
        LinkExtractor::ResolveLink(startRoot, page, pageSubfolder, resolved);
        LinkExtractor::IsPageUrl(resolved);
        std::string root = startRoot;
        LinkExtractor::SiteRoot(resolved, root);
        std::string subfolder;
        LinkExtractor::LocalSubfolder(startRoot, resolved, subfolder);
        Require(subfolder.empty() || subfolder.front() == '\\');
        std::string parent = link;
        LinkExtractor::ResolveParentSegments(subfolder, parent);
    }
    // The line itself as a URL and as a subfolder, for the routines that take those.
    std::string asLink(line);
    LinkExtractor::ResolveLink(startRoot, page, line, asLink);
    std::string subfolder;
    LinkExtractor::LocalSubfolder(startRoot, line, subfolder);
    LinkExtractor::IsPageUrl(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    tarnwick::WebProject project = tarnwick::BlankWebProject();
    project.getGif = 1;
    project.otherTypes = ".tar";
    tarnwick::LinkExtractor scanner;
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) {
            end = input.size();
        }
        ScanLine(scanner, project, input.substr(start, end - start));
        start = end + 1;
    }
    return 0;
}
