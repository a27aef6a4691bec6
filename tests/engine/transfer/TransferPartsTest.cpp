#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "engine/transfer/BackgroundHasher.h"
#include "engine/transfer/ContentRange.h"
#include "engine/transfer/Hasher.h"
#include "engine/transfer/PartialFile.h"
#include "engine/transfer/RetryPlan.h"
#include "engine/transfer/SharedRateLimit.h"
#include "engine/transfer/TransferMetadata.h"
#include "model/ProgressText.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;

TEST(Hasher, GivesTheKnownDigestsWhateverTheBlocks) {
    Hasher sha(ChecksumAlgorithm::Sha256);
    sha.Update("a");
    sha.Update("");
    sha.Update("bc");
    EXPECT_EQ(sha.FinishHex(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    Hasher md5(ChecksumAlgorithm::Md5);
    EXPECT_EQ(md5.FinishHex(), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(BackgroundHasher, AgreesWithTheHasherAcrossBlocksAndResets) {
    std::string bytes(700 * 1024 + 13, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 31 + i / 1000);
    }
    Hasher plain(ChecksumAlgorithm::Sha256);
    plain.Update(bytes);
    const std::string expected = plain.FinishHex();
    BackgroundHasher background(ChecksumAlgorithm::Sha256);
    background.Update("thrown away by the reset");
    background.Reset();
    for (std::size_t at = 0; at < bytes.size(); at += 99991) {  // blocks of odd sizes
        background.Update(std::string_view(bytes).substr(at, 99991));
    }
    EXPECT_EQ(background.FinishHex(), expected);
    EXPECT_EQ(background.FinishHex(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(ParseContentRange, ReadsWhatServersSendAndRefusesTheRest) {
    struct Case {
        std::string value;
        bool valid;
        std::uint64_t first;
        std::uint64_t last;
        std::int64_t total;
    };
    const std::vector<Case> cases = {
        {"bytes 100-199/1000", true, 100, 199, 1000},
        {"bytes 0-0/1", true, 0, 0, 1},
        {"bytes 5-9/*", true, 5, 9, -1},
        {"bytes 200-100/1000", false, 0, 0, 0},   // last before first
        {"bytes 100-1000/1000", false, 0, 0, 0},  // last past the end
        {"bytes */1000", false, 0, 0, 0},         // a 416's form: no range
        {"items 1-2/3", false, 0, 0, 0},
        {"bytes 1-2", false, 0, 0, 0},
        {"bytes -1-2/3", false, 0, 0, 0},
        {"", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto range = ParseContentRange(c.value);
        ASSERT_EQ(range.has_value(), c.valid) << c.value;
        if (range) {
            EXPECT_EQ(range->first, c.first) << c.value;
            EXPECT_EQ(range->last, c.last) << c.value;
            EXPECT_EQ(range->total, c.total) << c.value;
        }
    }
}

TEST(TransferMetadata, ReadsBackWhatItWroteAndRefusesDamage) {
    TransferMetadata metadata;
    metadata.url = "http://h/a b?x=1";
    metadata.etag = "W/\"tag\"";
    metadata.lastModified = "Tue, 01 Dec 2026 10:00:00 GMT";
    metadata.length = 1000;
    metadata.committed = 400;
    const std::string text = FormatTransferMetadata(metadata);
    EXPECT_NE(text.find("\nversion=1\n"), std::string::npos);
    const auto read = ParseTransferMetadata(text);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->url, metadata.url);
    EXPECT_EQ(read->etag, metadata.etag);
    EXPECT_EQ(read->lastModified, metadata.lastModified);
    EXPECT_EQ(read->modified, -1);
    EXPECT_EQ(read->length, 1000);
    EXPECT_EQ(read->committed, 400u);
    // A weak tag may not be sent in If-Range; the date is.
    EXPECT_EQ(IfRangeValidator(*read), metadata.lastModified);
    metadata.etag = "\"strong\"";
    EXPECT_EQ(IfRangeValidator(metadata), "\"strong\"");

    // CR LF, comments, blank lines, an unknown key and no final line end are fine; values are
    // taken as written, '=' signs and blanks included.
    const auto awkward = ParseTransferMetadata(
        "# note\r\n\r\nversion=1\r\nurl=http://h/f?a=1&b= \r\nlater=x\r\netag= \"t\"\r\n"
        "committed=5");
    ASSERT_TRUE(awkward.has_value());
    EXPECT_EQ(awkward->url, "http://h/f?a=1&b= ");
    EXPECT_EQ(awkward->etag, " \"t\"");
    EXPECT_EQ(awkward->committed, 5u);
    for (const std::string& damaged : {
             std::string("version=2\nurl=u\ncommitted=5\n"),
             std::string("url=u\ncommitted=5\n"),
             std::string("version=1\ncommitted=5\n"),
             std::string("version=1\nurl=u\n"),
             std::string("version=1\nurl=u\ncommitted=-5\n"),
             std::string("version=1\nurl=u\ncommitted=5x\n"),
             std::string("version=1\nurl=u\ncommitted=5\ngarbage\n"),
             std::string("version=1\nurl=u\ncommitted=5\n[section]\n"),
             std::string("version=1\nurl=u\ncommitted=5\n; not ours\n"),
             std::string("version= 1\nurl=u\ncommitted=5\n"),
             std::string("version=1\nurl=u\ncommitted= 5\n"),
         }) {
        EXPECT_FALSE(ParseTransferMetadata(damaged).has_value()) << damaged;
    }
}

// The metadata is what a later run resumes from; a name near the longest a file may have must
// still leave room for the temporary name it is replaced through.
TEST(PartialFile, ALaterRunTakesUpTheCommittedBytesWhateverTheNamesLength) {
    for (const std::size_t length : {8u, 240u, 250u, 255u}) {
        testing::TempFolder work;
        const std::string name(length, 'n');
        const std::string url = "http://h/" + name;
        {
            ConfinedFolder files(work.Path(), {"Files"});
            PartialFile partial(files, name, url, std::nullopt);
            ASSERT_TRUE(partial.Append("committed"));
            partial.Commit();
            ASSERT_TRUE(partial.Append(" and more"));
        }
        ConfinedFolder files(work.Path(), {"Files"});
        PartialFile later(files, name, url, std::nullopt);
        later.Load();
        EXPECT_EQ(later.Held(), 9u) << length;
        EXPECT_EQ(work.Tree().size(), 3u) << length;  // Files/, the data and its metadata
    }
}

TEST(RetryPlan, DoublesUpToTheLongestWithJitterAndHonoursRetryAfter) {
    TransferPolicy policy;
    policy.firstRetryDelay = 1000ms;
    policy.longestRetryDelay = 5000ms;
    struct Case {
        int retry;
        std::int64_t retryAfter;
        double jitter;
        std::chrono::milliseconds wait;
    };
    const std::vector<Case> cases = {
        {1, -1, 0.0, 1000ms},      {2, -1, 0.0, 2000ms},  {3, -1, 0.0, 4000ms},
        {4, -1, 0.0, 5000ms},      {40, -1, 0.0, 5000ms}, {2, -1, 0.5, 1500ms},
        {2, -1, 0.999, 1001ms},    {1, 30, 0.0, 30000ms}, {4, 2, 0.0, 5000ms},
        {1, 86400, 0.0, 300000ms},  // a day is cut to five minutes
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RetryPlan::DelayBefore(c.retry, policy, c.retryAfter, c.jitter), c.wait)
            << c.retry << " " << c.retryAfter << " " << c.jitter;
    }
}

TEST(RetryPlan, GivesUpAfterItsRetriesAndACancelWakesItsSleep) {
    TransferPolicy policy;
    policy.retries = 2;
    policy.firstRetryDelay = 1ms;
    auto gate = std::make_shared<JobGate>();
    RetryPlan plan(policy, gate);
    EXPECT_EQ(plan.AfterFailure(-1, {}), RetryPlan::Next::Retry);
    EXPECT_EQ(plan.AfterFailure(-1, {}), RetryPlan::Next::Retry);
    EXPECT_EQ(plan.AfterFailure(-1, {}), RetryPlan::Next::GiveUp);
    plan.NoteProgress();

    policy.firstRetryDelay = 60000ms;
    RetryPlan slow(policy, gate);
    std::thread canceller([&] {
        std::this_thread::sleep_for(50ms);
        gate->Cancel();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(slow.AfterFailure(-1, {}), RetryPlan::Next::Cancelled);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    canceller.join();
}

TEST(SharedRateLimit, HoldsTheAverageRateAcrossTakers) {
    SharedRateLimit limit;
    EXPECT_EQ(limit.Take(1 << 30), std::chrono::nanoseconds::zero());  // unlimited
    limit.SetBytesPerSecond(1000000);
    // Two takers sharing the bucket: what they are told to wait adds up to their bytes' time.
    std::chrono::nanoseconds waited{0};
    for (int i = 0; i < 20; ++i) {
        waited = std::max(waited, limit.Take(50000));
    }
    EXPECT_GE(waited, 900ms);  // a million bytes at a million a second
    EXPECT_LE(waited, 1000ms);
}

TEST(LiveProgressText, ShowsWhatIsKnown) {
    struct Case {
        TransferSnapshot progress;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{0, -1, 0, -1, {}}, "0 B"},
        {{1536, -1, 2048, -1, {}}, "1.5 KiB, 2.0 KiB/s"},
        {{12739174, 28311552, 2202009, 7, {}}, "44% of 27.0 MiB, 2.1 MiB/s, 0:07 left"},
        {{50, 100, 0, -1, {}}, "50% of 100 B"},
        {{100, 100, 10, 0, {}}, "100% of 100 B, 10 B/s, 0:00 left"},
        {{1, 1ll << 40, 1024, 3725, {}}, "0% of 1.0 TiB, 1.0 KiB/s, 1:02:05 left"},
        {{3145728, -1, 1024, -1, CrawlCounts{1, 0, 41}},
         "1 page, 0 files, 41 queued, 3.0 MiB, 1.0 KiB/s"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LiveProgressText(c.progress), c.text);
    }
}

}  // namespace
}  // namespace tarnwick
