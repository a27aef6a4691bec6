#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "model/ByteRate.h"
#include "model/Checksum.h"
#include "model/FileRequestOptions.h"
#include "model/Settings.h"
#include "model/WebProjectOptions.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

TEST(ByteRate, ReadsWgetsSyntaxAndRefusesTheRest) {
    const std::pair<const char*, std::optional<std::uint64_t>> cases[] = {
        {"0", 0},
        {"500", 500},
        {"500k", 512000},
        {"2M", 2097152},
        {"2.5k", 2560},
        {"1g", 1073741824},
        {"1.5", 2},
        {"", std::nullopt},
        {"k", std::nullopt},
        {"-1k", std::nullopt},
        {"20x", std::nullopt},
        {"1.k", std::nullopt},
        {"99999999999G", std::nullopt},
    };
    for (const auto& [text, rate] : cases) {
        EXPECT_EQ(ParseByteRate(text), rate) << text;
    }
    for (const std::uint64_t rate : {0ull, 1536ull, 20971520ull, 1073741824ull, 1000ull}) {
        EXPECT_EQ(ParseByteRate(ByteRateText(rate)), rate) << ByteRateText(rate);
    }
    EXPECT_EQ(ByteRateText(20971520), "20M");
}

TEST(SettingsFile, RoundTripsAndReadsDamageAsDefaults) {
    testing::TempFolder folder;
    EXPECT_EQ(LoadSettings(folder.Path()), Settings{});  // no file yet

    Settings settings;
    settings.maxConcurrent = 7;
    settings.limitBytesPerSecond = 1536;
    settings.retries = 0;
    settings.stallSeconds = 12;
    settings.downloadFolder = "/srv/downloads/my files";
    settings.webDelayMs = 750;
    settings.webIgnoreRobots = true;
    ASSERT_TRUE(StoreSettings(folder.Path(), settings));
    EXPECT_EQ(LoadSettings(folder.Path()), settings);

    const Settings damaged = ParseSettings(
        "[transfers]\r\nmax-concurrent=0\r\nlimit-rate=fast\nretries = 3\nstall-timeout=-4\n"
        "colour=blue\n[later]\nretries=9\ngarbage line\n[web]\ndelay=-1\nrobots=maybe\n"
        "[transfers]\ndownload-folder=relative/path\n");
    Settings expected;
    expected.retries = 3;
    EXPECT_EQ(damaged, expected);
}

// A fifo under a file's name would wait for a writer forever, and the program never start.
TEST(SettingsFile, WhatIsNoPlainFileReadsAsDefaultsAtOnceAndIsReplacedOnSaving) {
    testing::TempFolder folder;
    ASSERT_EQ(::mkfifo((folder.Path() / kSettingsFileName).c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder.Path() / kWebProjectOptionsFileName).c_str(), 0600), 0);
    std::filesystem::create_directory(folder.Path() / kFileRequestOptionsFileName);
    EXPECT_EQ(LoadSettings(folder.Path()), Settings{});
    EXPECT_TRUE(LoadWebProjectOptions(folder.Path()).empty());
    EXPECT_TRUE(LoadFileRequestOptions(folder.Path()).empty());

    Settings settings;
    settings.retries = 9;
    ASSERT_TRUE(StoreSettings(folder.Path(), settings));
    EXPECT_EQ(LoadSettings(folder.Path()), settings);
    EXPECT_FALSE(StoreFileRequestOptions(folder.Path(), {{"http://h/a", {"", 1024}}}));
}

TEST(SettingsFile, KeepsTheWindowsChoicesAndRefusesAUserAgentThatCouldBreakAHeader) {
    testing::TempFolder folder;
    EXPECT_EQ(Settings{}.userAgent, "Tarnwick/" + std::string(TARNWICK_VERSION_FOR_TESTS));
    Settings settings;
    settings.userAgent = "Probe/2.0 (+http://127.0.0.1/)";
    settings.notify = false;
    settings.closeToTray = true;
    settings.columnLayout = "AAAA/w+=";
    ASSERT_TRUE(StoreSettings(folder.Path(), settings));
    EXPECT_EQ(LoadSettings(folder.Path()), settings);

    const Settings defaults;
    for (const char* agent : {"", "Two\tWords", "caf\xc3\xa9/1"}) {
        const Settings parsed = ParseSettings(std::string("[net]\nuser-agent=") + agent + "\n");
        EXPECT_EQ(parsed.userAgent, defaults.userAgent) << agent;
    }
    EXPECT_EQ(ParseSettings("[net]\nuser-agent=" + std::string(201, 'a')).userAgent,
              defaults.userAgent);
    // A value read with a line end in it would end the header there; never written either.
    settings.userAgent = "Evil/1\r\nX-Injected: 1";
    EXPECT_EQ(ParseSettings(RenderSettings(settings)).userAgent, defaults.userAgent);

    const Settings damaged =
        ParseSettings("[window]\nnotify=yes\nclose-to-tray=2\ncolumn-layout=<b>\n");
    EXPECT_EQ(damaged, defaults);
}

TEST(ParseChecksum, TakesTheTwoAlgorithmsWithTheirExactLength) {
    const std::string sha(64, 'A');
    const std::string md5 = "D41D8CD98F00B204E9800998ECF8427E";
    struct Case {
        std::string text;
        std::optional<std::string> canonical;
    };
    const std::vector<Case> cases = {
        {"sha256=" + sha, "sha256=" + std::string(64, 'a')},
        {" SHA256=" + sha + "\r\n", "sha256=" + std::string(64, 'a')},
        {"md5=" + md5, "md5=d41d8cd98f00b204e9800998ecf8427e"},
        {"sha256=" + sha.substr(1), std::nullopt},  // a digit short
        {"sha256=" + sha + "0", std::nullopt},      // one too many
        {"md5=" + sha, std::nullopt},               // another algorithm's length
        {"sha256=" + std::string(63, 'a') + "g", std::nullopt},
        {"sha1=da39a3ee5e6b4b0d3255bfef95601890afd80709", std::nullopt},
        {"sha256:" + sha, std::nullopt},
        {"sha256 = " + sha, std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseChecksum(c.text);
        EXPECT_EQ(parsed ? std::optional(ChecksumText(*parsed)) : std::nullopt, c.canonical)
            << c.text;
    }
}

TEST(FileRequestOptionsFile, KeysByUrlAndKeepsOnlyEntriesWithOptions) {
    testing::TempFolder folder;
    EXPECT_TRUE(LoadFileRequestOptions(folder.Path()).empty());
    const FileRequestOptionsFile options{
        {"http://h/a[1].iso?x=y", {"sha256=" + std::string(64, 'a'), 0}},
        {"ftp://h/b", {"", 512000}},
        {"http://h/plain", {}},
    };
    ASSERT_TRUE(StoreFileRequestOptions(folder.Path(), options));
    FileRequestOptionsFile expected = options;
    expected.erase("http://h/plain");
    EXPECT_EQ(LoadFileRequestOptions(folder.Path()), expected);

    std::ofstream(folder.Path() / kFileRequestOptionsFileName)
        << "checksum=orphan\n[u]\nlimit-rate=?\n";
    EXPECT_TRUE(LoadFileRequestOptions(folder.Path()).empty());
}

}  // namespace
}  // namespace tarnwick
