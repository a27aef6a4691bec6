#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "model/ByteRate.h"
#include "model/FileRequestOptions.h"
#include "model/Settings.h"
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
    ASSERT_TRUE(StoreSettings(folder.Path(), settings));
    EXPECT_EQ(LoadSettings(folder.Path()), settings);

    const Settings damaged = ParseSettings(
        "[transfers]\r\nmax-concurrent=0\r\nlimit-rate=fast\nretries = 3\nstall-timeout=-4\n"
        "colour=blue\n[later]\nretries=9\ngarbage line\n");
    Settings expected;
    expected.retries = 3;
    EXPECT_EQ(damaged, expected);
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
