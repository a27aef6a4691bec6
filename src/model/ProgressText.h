#pragma once

#include <cstdint>
#include <string>

#include "model/UiPort.h"

namespace tarnwick {

// "512 B", "1.5 MiB": byte counts for progress texts.
std::string ByteCountText(std::uint64_t bytes);
// "0:07", "12:30", "1:02:03".
std::string DurationText(std::int64_t seconds);
// "12 pages, 30 files, 41 queued".
std::string CrawlCountsText(const CrawlCounts& counts);
// A transfer's progress as the command line shows it: "45% of 27.0 MiB, 2.1 MiB/s, 0:07
// left"; without a known total "12.0 MiB, 2.1 MiB/s"; before a speed is known only the
// amounts. A crawl's starts with its counts: "12 pages, 30 files, 41 queued, 3.2 MiB".
std::string LiveProgressText(const TransferSnapshot& progress);

}  // namespace tarnwick
