#include "engine/net/Url.h"

#include <curl/curl.h>

#include <algorithm>

#include "model/Records.h"

namespace tarnwick {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeCharacter(char c) {
    return IsLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

bool IsSupportedScheme(std::string_view scheme) {
    const std::string lower = AsciiLowercase(scheme);
    return lower == "http" || lower == "https" || lower == "ftp";
}

// The reference as a browser reads it from an attribute: a view of the text when that is
// already what the browser reads, else of the storage.
std::string_view Cleaned(std::string_view text, std::string& storage) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    if (std::none_of(text.begin(), text.end(),
                     [](char c) { return c == '\t' || c == '\n' || c == '\r' || c == '\\'; })) {
        return text;
    }
    storage.reserve(text.size());
    for (const char c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            continue;
        }
        storage += c == '\\' ? '/' : c;
    }
    return storage;
}

// Bytes a browser escapes in a path, a query or a fragment: controls, blanks, non-ASCII. Not
// CURLU_URLENCODE: it writes lower-case escapes and '+' for a blank in a query, and leaves '"',
// '<' and '>' as they are.
void AppendEscaped(std::string_view text, std::string& out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
}

std::string Escaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    AppendEscaped(text, escaped);
    return escaped;
}

// A reference split into its five parts (RFC 3986 appendix B), views into its text.
struct Reference {
    std::optional<std::string_view> scheme;
    std::optional<std::string_view> authority;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;
};

Reference Split(std::string_view text) {
    Reference ref;
    if (const std::size_t hash = text.find('#'); hash != npos) {
        ref.fragment = text.substr(hash + 1);
        text = text.substr(0, hash);
    }
    if (const std::size_t question = text.find('?'); question != npos) {
        ref.query = text.substr(question + 1);
        text = text.substr(0, question);
    }
    const std::size_t colon = text.find(':');
    if (colon != npos && colon > 0 && IsLetter(text[0])) {
        bool isScheme = true;
        for (std::size_t i = 1; i < colon && isScheme; ++i) {
            isScheme = IsSchemeCharacter(text[i]);
        }
        if (isScheme) {
            ref.scheme = text.substr(0, colon);
            text = text.substr(colon + 1);
        }
    }
    if (text.starts_with("//")) {
        const std::size_t slash = text.find('/', 2);
        ref.authority = text.substr(2, slash == npos ? npos : slash - 2);
        text = slash == npos ? std::string_view() : text.substr(slash);
    }
    ref.path = text;
    return ref;
}

// What libcurl parses: an absolute reference with its path and query escaped.
std::string Absolute(std::string_view scheme, const Reference& ref) {
    std::string absolute(scheme);
    absolute += "://";
    absolute += *ref.authority;
    AppendEscaped(ref.path, absolute);
    if (ref.query) {
        absolute += '?';
        AppendEscaped(*ref.query, absolute);
    }
    return absolute;
}

// Whether a path holds a "." or ".." segment, which RFC 3986 section 5.2.4 removes.
bool HasDotSegment(std::string_view path) {
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find('/', start);
        const std::string_view segment = path.substr(start, slash == npos ? npos : slash - start);
        if (segment == "." || segment == "..") {
            return true;
        }
        if (slash == npos) {
            return false;
        }
        start = slash + 1;
    }
}

// One URL handle per thread, parsed into again and again rather than made for each address.
CURLU* ThreadHandle() {
    struct Owner {
        CURLU* handle = curl_url();
        ~Owner() { curl_url_cleanup(handle); }
    };
    thread_local Owner owner;
    return owner.handle;
}

// The thread's handle holding the address parsed, or nothing when libcurl refuses it.
CURLU* Parsed(const std::string& absolute) {
    CURLU* handle = ThreadHandle();
    return handle != nullptr &&
                   curl_url_set(handle, CURLUPART_URL, absolute.c_str(), 0) == CURLUE_OK
               ? handle
               : nullptr;
}

std::optional<std::string> Part(CURLU* handle, CURLUPart part, unsigned int flags = 0) {
    char* value = nullptr;
    if (curl_url_get(handle, part, &value, flags) != CURLUE_OK) {
        return std::nullopt;
    }
    std::string text(value);
    curl_free(value);
    return text;
}

}  // namespace

std::optional<Url> Url::Parse(std::string_view text) {
    std::string storage;
    const Reference ref = Split(Cleaned(text, storage));
    // libcurl reads "http:///x" as "http://x/"; a browser would not.
    if (!ref.scheme || !IsSupportedScheme(*ref.scheme) || !ref.authority ||
        ref.authority->empty()) {
        return std::nullopt;
    }
    return Normalised(Absolute(*ref.scheme, ref), ref.fragment);
}

// RFC 3986 section 5.2.2 picks each part from the reference or the base. Handing libcurl the
// reference on a handle holding the base would resolve "", "#s", ".//g" and "///g" other than
// the RFC does (7.88), and costs much more: it writes the base out and parses it again each time.
std::optional<Url> Url::Resolve(std::string_view reference) const {
    std::string storage;
    const std::string_view cleaned = Cleaned(reference, storage);
    const Reference ref = Split(cleaned);
    if (ref.scheme) {
        return Parse(cleaned);
    }
    if (ref.authority) {
        if (ref.authority->empty()) {
            return std::nullopt;
        }
        return Normalised(Absolute(scheme_, ref), ref.fragment);
    }
    Url target;
    target.scheme_ = scheme_;
    target.host_ = host_;
    target.port_ = port_;
    if (ref.path.empty()) {
        target.path_ = path_;
    } else {
        if (!ref.path.starts_with('/')) {
            target.path_.assign(path_, 0, path_.rfind('/') + 1);
        }
        AppendEscaped(ref.path, target.path_);
        // Scheme, host and port are the base's, normalised already: libcurl has only the dot
        // segments of the path to remove, when there are any.
        if (HasDotSegment(target.path_)) {
            CURLU* handle = Parsed(std::string(Origin()) + target.path_);
            std::optional<std::string> path = handle ? Part(handle, CURLUPART_PATH) : std::nullopt;
            if (!path) {
                return std::nullopt;
            }
            target.path_ = std::move(*path);
        }
    }
    std::optional<std::string> query;
    if (ref.query) {
        query = Escaped(*ref.query);
    } else if (ref.path.empty() && hasQuery_) {
        query = query_;
    }
    target.SetQueryAndFragment(std::move(query), ref.fragment);
    return target;
}

std::string Url::TextWithFragment() const {
    return hasFragment_ ? text_ + '#' + fragment_ : text_;
}

std::optional<Url> Url::Normalised(const std::string& absolute,
                                   std::optional<std::string_view> fragment) {
    CURLU* handle = Parsed(absolute);
    if (handle == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> scheme = Part(handle, CURLUPART_SCHEME);
    std::optional<std::string> host = Part(handle, CURLUPART_HOST);
    std::optional<std::string> path = Part(handle, CURLUPART_PATH);
    if (!scheme || !host || host->empty() || !path) {
        return std::nullopt;
    }
    Url url;
    url.scheme_ = std::move(*scheme);
    url.host_ = AsciiLowercase(*host);
    url.port_ = Part(handle, CURLUPART_PORT, CURLU_NO_DEFAULT_PORT).value_or(std::string());
    url.path_ = std::move(*path);
    url.SetQueryAndFragment(Part(handle, CURLUPART_QUERY), fragment);
    return url;
}

void Url::SetQueryAndFragment(std::optional<std::string> query,
                              std::optional<std::string_view> fragment) {
    hasQuery_ = query.has_value();
    query_ = hasQuery_ ? std::move(*query) : std::string();
    hasFragment_ = fragment.has_value();
    fragment_ = hasFragment_ ? Escaped(*fragment) : std::string();
    text_.clear();
    text_.reserve(scheme_.size() + host_.size() + port_.size() + path_.size() + query_.size() + 5);
    text_ += scheme_;
    text_ += "://";
    text_ += host_;
    if (!port_.empty()) {
        text_ += ':';
        text_ += port_;
    }
    originLength_ = text_.size();
    text_ += path_;
    if (hasQuery_) {
        text_ += '?';
        text_ += query_;
    }
}

}  // namespace tarnwick
