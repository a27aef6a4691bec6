#include "model/ListFileFormat.h"

#include <charconv>
#include <climits>
#include <initializer_list>

namespace tarnwick {

namespace {

// White space as the "C" locale's isspace sees it.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks the bytes of a list file the way the old stream conversions did.
class Cursor {
public:
    explicit Cursor(std::string_view data) : data_(data) {}

    void SkipSpace() {
        while (pos_ < data_.size() && IsSpace(data_[pos_])) {
            ++pos_;
        }
    }

    // Looks ahead without moving: a record's first line may itself be blank.
    bool OnlySpaceLeft() const {
        for (std::size_t p = pos_; p < data_.size(); ++p) {
            if (!IsSpace(data_[p])) {
                return false;
            }
        }
        return true;
    }

    // One white-space-delimited word; the part beyond the field is dropped.
    bool ReadWord(std::string& out, std::size_t width) {
        SkipSpace();
        const std::size_t start = pos_;
        while (pos_ < data_.size() && !IsSpace(data_[pos_])) {
            ++pos_;
        }
        out = FittedText(data_.substr(start, pos_ - start), width);
        return pos_ > start;
    }

    // The rest of the current line without its line end, which is consumed.
    std::string ReadLine(std::size_t width) {
        const std::size_t start = pos_;
        std::size_t end = data_.find('\n', pos_);
        if (end == std::string_view::npos) {
            end = data_.size();
            pos_ = end;
        } else {
            pos_ = end + 1;
        }
        std::string_view line = data_.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return FittedText(line, width);
    }

    // The first word of the current line (empty if the line is blank); the line is consumed.
    std::string ReadLineWord(std::size_t width) {
        std::string line = ReadLine(SIZE_MAX);
        std::size_t start = 0;
        while (start < line.size() && IsSpace(line[start])) {
            ++start;
        }
        std::size_t end = start;
        while (end < line.size() && !IsSpace(line[end])) {
            ++end;
        }
        return FittedText(std::string_view(line).substr(start, end - start), width);
    }

    // A decimal integer with optional sign; values beyond int saturate.
    bool ReadInt(int& out) {
        SkipSpace();
        std::size_t p = pos_;
        bool negative = false;
        if (p < data_.size() && (data_[p] == '-' || data_[p] == '+')) {
            negative = data_[p] == '-';
            ++p;
        }
        if (p >= data_.size() || !IsDigit(data_[p])) {
            return false;
        }
        long long value = 0;
        while (p < data_.size() && IsDigit(data_[p])) {
            if (value <= static_cast<long long>(INT_MAX) + 1) {
                value = value * 10 + (data_[p] - '0');
            }
            ++p;
        }
        if (negative) {
            value = -value;
        }
        out = static_cast<int>(value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value));
        pos_ = p;
        return true;
    }

    bool ReadInts(std::initializer_list<int*> fields) {
        for (int* field : fields) {
            if (!ReadInt(*field)) {
                return false;
            }
        }
        return true;
    }

    // The "*" line that closes a project record.
    void ReadSeparator() {
        SkipSpace();
        if (pos_ >= data_.size() || data_[pos_] != '*') {
            return;
        }
        ++pos_;
        while (pos_ < data_.size() && data_[pos_] != '\n' && IsSpace(data_[pos_])) {
            ++pos_;
        }
        if (pos_ < data_.size() && data_[pos_] == '\n') {
            ++pos_;
        }
    }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

void AppendInts(std::string& out, std::initializer_list<int> values) {
    char buffer[16];
    bool first = true;
    for (int value : values) {
        if (!first) {
            out += ' ';
        }
        first = false;
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out.append(buffer, result.ptr);
    }
    out += "\r\n";
}

void AppendAddress(std::string& out, std::string_view address) {
    static const char kHex[] = "0123456789ABCDEF";
    std::size_t start = 0;
    for (std::size_t i = 0; i < address.size(); ++i) {
        // Every white-space byte is at most ' ', so most bytes take one comparison.
        if (static_cast<unsigned char>(address[i]) > ' ' || !IsSpace(address[i])) {
            continue;
        }
        const auto byte = static_cast<unsigned char>(address[i]);
        out.append(address.substr(start, i - start));
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
        start = i + 1;
    }
    out.append(address.substr(start));
    out += "\r\n";
}

void AppendLine(std::string& out, std::string_view text) {
    for (char c : text) {
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    out += "\r\n";
}

}  // namespace

void ParseFileRecords(std::string_view data, std::string_view status,
                      const std::function<void(FileEntry&&)>& add) {
    Cursor cursor(data);
    FileEntry entry;
    while (cursor.ReadWord(entry.url, kUrlWidth)) {
        entry.status = status;
        add(std::move(entry));
        entry = FileEntry();
    }
}

void ParseWebRecords(std::string_view data, std::string_view status,
                     const std::function<void(WebProject&&)>& add) {
    Cursor cursor(data);
    while (!cursor.OnlySpaceLeft()) {
        WebProject p;
        p.name = cursor.ReadLine(kNameWidth);
        p.startUrl = cursor.ReadLineWord(kStartUrlWidth);
        if (cursor.ReadInts({&p.downloadAll, &p.getZip, &p.getGif, &p.getJpg, &p.getExe, &p.getMp3,
                             &p.getPdf, &p.getHtm, &p.runWhenRequested, &p.startMinute,
                             &p.startHour, &p.stopWhenRequested, &p.stopMinute, &p.stopHour,
                             &p.maxDomainCount, &p.reserved, &p.exitDomain})) {
            cursor.ReadSeparator();
        }
        p.status = status;
        add(std::move(p));
    }
}

void ParseSearchRecords(std::string_view data, const std::function<void(SearchProject&&)>& add) {
    Cursor cursor(data);
    while (!cursor.OnlySpaceLeft()) {
        SearchProject p;
        p.name = cursor.ReadLine(kNameWidth);
        p.searchString = cursor.ReadLine(kSearchStringWidth);
        if (cursor.ReadInts({&p.useAltavista, &p.useHotBot, &p.useYahoo, &p.useNorthernLight,
                             &p.useWebCrawler, &p.useMsn, &p.useGo2Net, &p.runWhenRequested,
                             &p.startMinute, &p.startHour, &p.stopWhenRequested, &p.stopMinute,
                             &p.stopHour})) {
            cursor.ReadSeparator();
        }
        p.status = "Ready for download";
        add(std::move(p));
    }
}

void RenderFileRecord(const FileEntry& entry, std::string& out) {
    AppendAddress(out, entry.url);
}

void RenderWebRecord(const WebProject& p, std::string& out) {
    AppendLine(out, p.name);
    AppendAddress(out, p.startUrl);
    AppendInts(out, {p.downloadAll});
    AppendInts(out, {p.getZip, p.getGif, p.getJpg, p.getExe, p.getMp3, p.getPdf, p.getHtm});
    AppendInts(out, {p.runWhenRequested, p.startMinute, p.startHour});
    AppendInts(out, {p.stopWhenRequested, p.stopMinute, p.stopHour});
    AppendInts(out, {p.maxDomainCount, 0, p.exitDomain});
    out += "*\r\n";
}

void RenderSearchRecord(const SearchProject& p, std::string& out) {
    AppendLine(out, p.name);
    AppendLine(out, p.searchString);
    AppendInts(out, {p.useAltavista, p.useHotBot, p.useYahoo, p.useNorthernLight, p.useWebCrawler,
                     p.useMsn, p.useGo2Net});
    AppendInts(out, {p.runWhenRequested, p.startMinute, p.startHour});
    AppendInts(out, {p.stopWhenRequested, p.stopMinute, p.stopHour});
    out += "*\r\n";
}

}  // namespace tarnwick
