#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwick {

// The user's settings, kept in `settings.ini` in the working folder, never in the lists:
//   # Tarnwick settings, version 1
//   [transfers]
//   download-folder=/home/me/Downloads
//   max-concurrent=4
//   limit-rate=2M
//   retries=5
//   stall-timeout=30
//   [net]
//   user-agent=Tarnwick/1.0.0
//   [web]
//   delay=250
//   robots=ignore
//   [window]
//   notify=1
//   close-to-tray=0
//   column-layout=<the entry list's columns, base64>
// A missing or damaged file, an unknown key or a value out of range reads as the default
// of what it names, so a hand-edited file or one of a later version never stops the program.
// "Tarnwick/<version>", what the program calls itself to servers unless told otherwise.
std::string DefaultUserAgent();
// Up to 200 printable ASCII characters, not starting with a blank: nothing that could end a
// header early.
bool IsUsableUserAgent(std::string_view text);
// An absolute path without control characters; empty means Files/ in the working folder.
bool IsUsableDownloadFolder(std::string_view path);

struct Settings {
    std::string downloadFolder;                  // requested files go here; empty: Files/
    int maxConcurrent = 4;                       // file transfers at once; later starts are queued
    std::uint64_t limitBytesPerSecond = 0;       // all transfers together; 0: no limit
    int retries = 5;                             // further attempts after a transient failure
    int stallSeconds = 30;                       // under 1 KiB/s this long: the attempt is retried
    std::string userAgent = DefaultUserAgent();  // printable ASCII only: it goes into a header
    int webDelayMs = 0;                          // a new web project's wait between requests
    bool webIgnoreRobots = false;                // a new web project's choice on robots.txt
    bool notify = true;                          // a desktop notice when a download ends
    bool closeToTray = false;                    // closing the window leaves it in the tray
    std::string columnLayout;                    // the window's own, base64; empty: the default

    bool operator==(const Settings&) const = default;
};

inline constexpr const char* kSettingsFileName = "settings.ini";

Settings ParseSettings(std::string_view text);
std::string RenderSettings(const Settings& settings);

Settings LoadSettings(const std::filesystem::path& folder);
// Writes the file atomically; false when it cannot, the old file then staying.
bool StoreSettings(const std::filesystem::path& folder, const Settings& settings);

}  // namespace tarnwick
