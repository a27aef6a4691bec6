#include "model/ProgressText.h"

#include <cstdio>

namespace tarnwick {

std::string ByteCountText(std::uint64_t bytes) {
    const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024.0 && unit < 4) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    if (unit == 0) {
        std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
    } else {
        std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    }
    return text;
}

std::string DurationText(std::int64_t seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(
            text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
            static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    }
    return text;
}

std::string CrawlCountsText(const CrawlCounts& counts) {
    return std::to_string(counts.pages) + (counts.pages == 1 ? " page, " : " pages, ") +
           std::to_string(counts.files) + (counts.files == 1 ? " file, " : " files, ") +
           std::to_string(counts.queued) + " queued";
}

std::string LiveProgressText(const TransferSnapshot& progress) {
    std::string text;
    if (progress.crawl) {
        text = CrawlCountsText(*progress.crawl) + ", " + ByteCountText(progress.done);
    } else if (progress.total > 0) {
        const auto total = static_cast<std::uint64_t>(progress.total);
        const std::uint64_t done = progress.done < total ? progress.done : total;
        text = std::to_string(done * 100 / total) + "% of " + ByteCountText(total);
    } else {
        text = ByteCountText(progress.done);
    }
    if (progress.bytesPerSecond > 0) {
        text += ", " + ByteCountText(static_cast<std::uint64_t>(progress.bytesPerSecond)) + "/s";
        if (progress.etaSeconds >= 0 && progress.total > 0) {
            text += ", " + DurationText(progress.etaSeconds) + " left";
        }
    }
    return text;
}

}  // namespace tarnwick
