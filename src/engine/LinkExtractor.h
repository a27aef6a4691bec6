#pragma once

#include <string>
#include <string_view>

#include "model/Records.h"

namespace tarnwick {

// Line-based link and URL routines shared by the site crawler and the search worker.
class LinkExtractor {
public:
    // one instance per crawl; it owns ImagePending, clear when constructed
    bool ExtractImageSrc(std::string_view line, std::string& link);
    static bool ExtractHref(std::string_view line, std::string& link);
    static bool ExtractFrameSrc(std::string_view line, std::string& link);
    static bool PassesTypeFilter(std::string_view link, const WebProject& project);
    static bool LinkContains(std::string_view text, std::string_view link);
    // root is left as it was when url has no "//".
    static void SiteRoot(std::string_view url, std::string& root);
    static bool IsPageUrl(std::string_view url);
    static void ResolveParentSegments(std::string_view subfolder, std::string& link);
    static void ResolveLink(std::string_view startRoot, std::string_view page,
                            std::string_view subfolder, std::string& link);
    static void LocalSubfolder(std::string_view startRoot, std::string_view url,
                               std::string& subfolder);
    static bool HasIllegalChars(std::string_view text);
    static void RewriteLinkToLocal(std::string_view link, std::string_view siteFolderPath,
                                   std::string_view subfolder, std::string& line);
    static void MakeSubfolders(const std::string& siteFolder, std::string_view subfolder);

private:
    bool ImagePending = false;
};

}  // namespace tarnwick
