#include "engine/mirror/PortableCopy.h"

#include <cctype>
#include <unordered_set>
#include <utility>

#include "engine/mirror/CssLinks.h"
#include "engine/mirror/HtmlLinks.h"
#include "engine/mirror/LinkRewriting.h"
#include "model/Records.h"

namespace tarnwick {

namespace {

bool LooksLikeHtml(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const std::size_t first = bytes.find_first_not_of(" \t\r\n\f");
    if (first == std::string_view::npos) {
        return false;
    }
    const std::string start = AsciiLowercase(bytes.substr(first, 16));
    for (const std::string_view opening :
         {"<!doctype html", "<html", "<head", "<body", "<title", "<meta", "<!--"}) {
        if (start.starts_with(opening)) {
            return true;
        }
    }
    return false;
}

bool HasPageEnding(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::string_view ending = path.substr(dot == std::string_view::npos ? path.size() : dot);
    return path.ends_with('/') || ending == ".html" || ending == ".htm" || ending == ".shtml";
}

}  // namespace

PortableCopy::PortableCopy(WebProject project, const WebProjectOptions& options, SiteFolder& folder)
    : folder_(folder),
      links_(std::move(project), options),
      previous_(MirrorState::Load(folder.Folder())) {}

const StoredRecord* PortableCopy::Previous(const std::string& address) const {
    const StoredRecord* record = previous_.Find(address);
    const auto segments =
        record == nullptr ? std::nullopt : ConfinedFolder::SegmentsOf(record->storedName);
    // A file removed or replaced since is fetched whole again.
    return segments && folder_.Folder().KindOf(*segments) == ConfinedFolder::EntryKind::File
               ? record
               : nullptr;
}

StoredKind PortableCopy::KindOf(const MirrorTarget& target, std::string_view firstBytes) {
    const bool pageLink = target.use == LinkUse::Navigation || target.use == LinkUse::Frame;
    if (LooksLikeHtml(firstBytes)) {
        return target.use == LinkUse::Resource ? StoredKind::Other : StoredKind::Page;
    }
    if (target.use == LinkUse::StyleSheet) {
        return StoredKind::StyleSheet;
    }
    // The answer's type is not known here: a link to a page that opens with a tag is one.
    const std::size_t first = firstBytes.find_first_not_of(" \t\r\n\f");
    if (pageLink && first != std::string_view::npos && firstBytes[first] == '<') {
        return StoredKind::Page;
    }
    const std::optional<Url> address = pageLink ? Url::Parse(target.url) : std::nullopt;
    return address && HasPageEnding(address->Path()) ? StoredKind::Page : StoredKind::Other;
}

std::string PortableCopy::LocalNameOf(const MirrorTarget& target, StoredKind kind) const {
    const std::optional<Url> address = Url::Parse(target.url);
    return folder_.RelativePath() + "/" + (address ? StoredNameOf(*address, kind) : "");
}

void PortableCopy::Scan(const MirrorTarget& target, StoredKind kind, std::string_view body) {
    std::optional<Url> base = Url::Parse(target.url);
    if (!base) {
        return;
    }
    StoredRecord* record = next_.Find(target.url);
    // Each link once: pages repeat their navigation, and a record is kept for every page.
    std::unordered_set<std::string> recorded;
    const auto offer = [&](std::string_view text, const LinkSpan& span) {
        const std::optional<Url> link =
            base->Resolve(text.substr(span.begin, span.end - span.begin));
        if (!link) {
            return;
        }
        if (record != nullptr && link->Origin() == links_.Start().Origin()) {
            std::string address = link->Text();
            if (recorded.insert(static_cast<char>('0' + static_cast<int>(span.use)) + address)
                    .second) {
                record->links.emplace_back(std::move(address), span.use);
            }
        }
        Offer(target, *link, span.use);
    };
    if (kind == StoredKind::StyleSheet) {
        for (const LinkSpan& span : FindCssLinks(body)) {
            offer(body, span);
        }
        return;
    }
    const HtmlLinks links = FindHtmlLinks(body);
    if (links.baseHref) {
        base = base->Resolve(*links.baseHref).value_or(*base);
    }
    for (const HtmlLinkSlot& slot : links.slots) {
        for (const LinkSpan& span : LinksOf(slot)) {
            offer(slot.value, span);
        }
    }
}

void PortableCopy::Offer(const MirrorTarget& from, const Url& link, LinkUse use) {
    if (link.Origin() == links_.Start().Origin()) {
        report_.NoteReferrer(link.Text(), from.url);
    }
    links_.Offer(link, use, from.depth);
}

void PortableCopy::NoteStored(const MirrorTarget& target, StoredKind kind,
                              const std::string& localName, Validators validators) {
    std::string storedName = localName.substr(folder_.RelativePath().size() + 1);
    report_.NoteStored(target.url, storedName);
    if (validators.Any()) {
        next_.Put(target.url, {storedName, kind, std::move(validators), {}});
    }
    if (kind != StoredKind::Other) {
        documents_.push_back({target.url, storedName, kind});
    }
    storedNames_[target.url] = std::move(storedName);
}

std::string PortableCopy::NoteUnchanged(const MirrorTarget& target) {
    const StoredRecord& record = *previous_.Find(target.url);
    report_.NoteUnchanged(target.url, record.storedName);
    storedNames_[target.url] = record.storedName;
    for (const auto& [text, use] : record.links) {
        if (const std::optional<Url> link = Url::Parse(text)) {
            Offer(target, *link, use);
        }
    }
    next_.Put(target.url, record);
    return folder_.RelativePath() + "/" + record.storedName;
}

void PortableCopy::NoteRedirect(const std::string& from, const std::string& to) {
    redirects_[from] = to;
    std::vector<const std::string*> loop{&from};
    for (auto hop = redirects_.find(to);
         hop != redirects_.end() && loop.size() <= MirrorLinks::kMaxRedirects;
         hop = redirects_.find(hop->second)) {
        if (hop->first == from) {
            for (const std::string* address : loop) {
                report_.NoteFailed(*address, "redirect loop");
            }
            return;
        }
        loop.push_back(&hop->first);
    }
}

const std::string* PortableCopy::StoredNameFor(const std::string& address) const {
    const std::string* current = &address;
    for (int hops = 0; hops <= MirrorLinks::kMaxRedirects; ++hops) {
        if (const auto stored = storedNames_.find(*current); stored != storedNames_.end()) {
            return &stored->second;
        }
        const auto redirect = redirects_.find(*current);
        if (redirect == redirects_.end()) {
            return nullptr;
        }
        current = &redirect->second;
    }
    return nullptr;
}

std::optional<std::string> PortableCopy::Mapped(const Document& document, const Url& base,
                                                std::string_view link) const {
    if (link.starts_with('#')) {
        return std::nullopt;  // within the page: right as it is
    }
    const std::optional<Url> target = base.Resolve(link);
    if (!target) {
        return std::nullopt;
    }
    if (const std::string* stored = StoredNameFor(target->Text())) {
        return RelativeLink(document.storedName, *stored, target->HasFragment(),
                            target->Fragment());
    }
    std::string absolute = target->TextWithFragment();
    return absolute == link ? std::nullopt : std::optional<std::string>(std::move(absolute));
}

bool PortableCopy::Rewrite(const Document& document) {
    ConfinedFolder& folder = folder_.Folder();
    const auto segments = ConfinedFolder::SegmentsOf(document.storedName);
    const std::optional<std::uint64_t> size = segments ? folder.SizeOf(*segments) : std::nullopt;
    // What was too long to read for links is left as it came, never read whole.
    if (!size || *size > kScanLimit) {
        return size.has_value();
    }
    const std::optional<std::string> text = folder.ReadSmallFile(*segments, kScanLimit);
    std::optional<Url> base = Url::Parse(document.url);
    if (!text || !base) {
        return false;
    }
    std::string rewritten;
    if (document.kind == StoredKind::StyleSheet) {
        rewritten = RewriteCss(
            *text, [&](std::string_view link, LinkUse) { return Mapped(document, *base, link); });
    } else {
        const HtmlLinks links = FindHtmlLinks(*text);
        if (links.baseHref) {
            base = base->Resolve(*links.baseHref).value_or(*base);
        }
        rewritten = RewriteHtml(*text, links, [&](std::string_view link, LinkUse) {
            return Mapped(document, *base, link);
        });
    }
    if (rewritten == *text) {
        return true;
    }
    // Written over in place, as the crawl stored it: replacing each of thousands of pages by a
    // rename costs a new inode apiece, several times the time on ext4.
    FileWriter file = folder.CreateFile(*segments);
    return file.IsOpen() && file.Write(rewritten) && file.Close();
}

bool PortableCopy::Finish() {
    bool whole = true;
    for (const Document& document : documents_) {
        whole = Rewrite(document) && whole;
    }
    ConfinedFolder& folder = folder_.Folder();
    const std::string start = links_.Start().Text();
    whole = folder.ReplaceFile(std::string(kReportPageName), report_.Html(start)) && whole;
    whole = folder.ReplaceFile(std::string(kReportDataName), report_.Json(start)) && whole;
    return next_.Save(folder) && whole;
}

}  // namespace tarnwick
