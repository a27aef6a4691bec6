#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "engine/FileWorkerHarness.h"
#include "engine/files/FileWorkers.h"
#include "engine/net/NetLibrary.h"
#include "support/HttpTestServer.h"
#include "support/TlsTestServer.h"

namespace tarnwick {
namespace {

using testing::FileWorkerHarness;
using testing::HttpResponse;
using testing::HttpTestServer;

const NetLibrary netLibrary;

bool Has(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xff);
    }
    return bytes;
}

HttpResponse StalledBody(std::size_t size, std::size_t at, std::chrono::milliseconds stall) {
    HttpResponse response;
    response.body = Pattern(size);
    response.stallAtByte = at;
    response.stallInBody = stall;
    return response;
}

class FileDownloadWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Started()) {
            GTEST_SKIP() << "the local HTTP server could not start";
        }
    }
    // Starts a worker on a body that stalls after its first bytes, and returns once the entry
    // shows it downloading.
    std::thread WorkerOnStalledBody(std::chrono::milliseconds stall, Outcome& outcome) {
        server.Serve("/long.bin", StalledBody(300000, 1000, stall));
        const std::string url = server.Url("/long.bin");
        harness.Request(url);
        std::thread worker([this, url, &outcome] { outcome = harness.Run(RunFileDownload, url); });
        EXPECT_TRUE(FileWorkerHarness::WaitUntil(
            [&] { return harness.Requested()[0].status != "Downloading..."; }));
        return worker;
    }

    HttpTestServer server;
    FileWorkerHarness harness;
};

TEST_F(FileDownloadWorkerTest, AFileArrivesWholeAndMovesToTheDownloadedFiles) {
    const std::string body = Pattern(700 * 1024);
    server.Serve("/cgi/get.cgi?id=7", body);
    const std::string url = server.Url("/cgi/get.cgi?id=7");
    harness.Request("http://other/kept.zip");
    harness.Request(url);
    harness.Follow(url);

    EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Done);

    EXPECT_EQ(harness.LocalFile("get.cgi?id=7"), body);
    ASSERT_EQ(harness.Downloaded().size(), 1u);
    EXPECT_EQ(harness.Downloaded()[0].url, url);
    EXPECT_EQ(harness.Downloaded()[0].status, "Success");
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_EQ(harness.Requested()[0].url, "http://other/kept.zip");
    EXPECT_EQ(harness.RunningJobs(), 1);  // only the other entry's record stays
    const auto calls = harness.ui.Calls();
    EXPECT_TRUE(Has(calls, "DeleteRow:0"));
    EXPECT_TRUE(Has(calls, "LastAction:Download ended"));
    EXPECT_EQ(harness.ui.StatusText(), "Success");
    EXPECT_EQ(harness.ui.CallsStartingWith("Play").size(), 1u);
    EXPECT_FALSE(harness.ui.BusyAnimationPlaying());
    ASSERT_EQ(harness.ui.Rows().size(), 1u);
    EXPECT_EQ(harness.ui.Rows()[0].project, "http://other/kept.zip");
}

TEST_F(FileDownloadWorkerTest, ProgressIsShownInKilobytesWithTwoDecimals) {
    server.Serve("/small.bin", Pattern(1536));
    const std::string url = server.Url("/small.bin");
    harness.Request(url);
    harness.Follow(url);
    EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Done);
    const auto calls = harness.ui.Calls();
    EXPECT_TRUE(Has(calls, "Status:Downloading...1.50k read"));
    // The progress comes before the completion texts.
    EXPECT_LT(std::find(calls.begin(), calls.end(), "Status:Downloading...1.50k read"),
              std::find(calls.begin(), calls.end(), "Status:Success"));
}

TEST_F(FileDownloadWorkerTest, ErrorAnswersAndCutBodiesLeaveTheEntryRequestedWithTheError) {
    HttpResponse cut;
    cut.body = Pattern(50000);
    cut.closeAfterBytes = 20000;
    server.Serve("/cut.bin", cut);
    const std::string missing = server.Url("/missing.htm");
    const std::string cutUrl = server.Url("/cut.bin");
    harness.Request(missing);
    harness.Request(cutUrl);
    harness.Follow(missing);

    const Outcome refused = harness.Run(RunFileDownload, missing);
    EXPECT_EQ(refused.kind, OutcomeKind::ServerRefused);
    EXPECT_EQ(refused.text, "The requested URL returned error: 404");
    EXPECT_EQ(harness.Run(RunFileDownload, cutUrl).kind, OutcomeKind::Network);

    const auto requested = harness.Requested();
    ASSERT_EQ(requested.size(), 2u);
    EXPECT_EQ(requested[0].status, "The requested URL returned error: 404");
    EXPECT_NE(requested[1].status.find("transfer closed"), std::string::npos)
        << requested[1].status;
    EXPECT_TRUE(harness.Downloaded().empty());
    EXPECT_FALSE(harness.LocalFileExists("missing.htm"));  // no error page saved
    EXPECT_EQ(harness.RunningJobs(), 0);
    EXPECT_EQ(harness.ui.Rows()[1].status, "The requested URL returned error: 404");
    EXPECT_EQ(harness.ui.Rows()[0].status, requested[1].status);
    EXPECT_EQ(harness.ui.StatusText(), "The requested URL returned error: 404");
    EXPECT_TRUE(harness.ui.CallsStartingWith("Status:Success").empty());
    EXPECT_FALSE(harness.ui.BusyAnimationPlaying());
}

TEST_F(FileDownloadWorkerTest, RedirectsAreFollowedButNeverToOtherSchemes) {
    HttpResponse moved;
    moved.status = 301;
    moved.headers = {{"Location", "/new/place.bin"}};
    server.Serve("/old.bin", moved);
    server.Serve("/new/place.bin", "the new place");
    HttpResponse toFile;
    toFile.status = 302;
    toFile.headers = {{"Location", "file:///etc/hostname"}};
    server.Serve("/hostname", toFile);
    const std::string old = server.Url("/old.bin");
    const std::string hostile = server.Url("/hostname");
    harness.Request(old);
    harness.Request(hostile);

    harness.Run(RunFileDownload, old);
    EXPECT_EQ(harness.Run(RunFileDownload, hostile).kind, OutcomeKind::BadRequest);

    EXPECT_EQ(harness.LocalFile("old.bin"), "the new place");
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_NE(harness.Requested()[0].status.find("not supported"), std::string::npos)
        << harness.Requested()[0].status;
    EXPECT_FALSE(harness.LocalFileExists("hostname"));
}

TEST_F(FileDownloadWorkerTest, UrlsDifferingOnlyInCaseAreEntriesOfTheirOwn) {
    server.Serve("/f.bin", "same bytes");
    const std::string lower = server.Url("/f.bin");
    const std::string upper = "HTTP://127.0.0.1:" + std::to_string(server.Port()) + "/f.bin";
    harness.Request(upper);
    harness.Request(lower);

    harness.Run(RunFileDownload, lower);
    ASSERT_EQ(harness.Downloaded().size(), 1u);
    EXPECT_EQ(harness.Downloaded()[0].url, lower);  // its own entry moved, not the first
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_EQ(harness.Requested()[0].url, upper);

    harness.Run(RunFileDownload, upper);
    EXPECT_EQ(harness.Downloaded().size(), 2u);
    EXPECT_TRUE(harness.Requested().empty());
}

TEST_F(FileDownloadWorkerTest, AnotherShownCategoryKeepsRowsUntouchedButTheListsMove) {
    server.Serve("/a.bin", Pattern(5000));
    server.Serve("/b.bin", Pattern(6000));
    const std::string a = server.Url("/a.bin");
    const std::string b = server.Url("/b.bin");
    harness.Request(a);
    harness.Request(b);
    harness.ui.Show(harness.state, ListCategory::SearchProjects);
    harness.Run(RunFileDownload, a);
    for (const char* rowCall : {"DeleteRow", "RowStatus", "InsertRow", "Status:", "LastAction"}) {
        EXPECT_TRUE(harness.ui.CallsStartingWith(rowCall).empty()) << rowCall;
    }
    EXPECT_EQ(harness.Downloaded().size(), 1u);

    // With the downloaded files shown, the finished entry appears as the top row.
    harness.ui.Show(harness.state, ListCategory::DownloadedFiles);
    harness.Run(RunFileDownload, b);
    EXPECT_TRUE(Has(harness.ui.Calls(), "InsertRow:" + b + "|Success"));
    EXPECT_TRUE(harness.ui.CallsStartingWith("DeleteRow").empty());
}

TEST_F(FileDownloadWorkerTest, TheLastWorkerToEndStopsTheClipAndARunningOneRestartsIt) {
    server.Serve("/slow.bin", StalledBody(300000, 1000, std::chrono::milliseconds(2000)));
    server.Serve("/fast.bin", Pattern(1000));
    const std::string slow = server.Url("/slow.bin");
    const std::string fast = server.Url("/fast.bin");
    harness.Request(slow);
    harness.Request(fast);
    std::thread slowWorker([&] { harness.Run(RunFileDownload, slow); });
    ASSERT_TRUE(FileWorkerHarness::WaitUntil([&] {
        const auto requested = harness.Requested();
        return requested[0].status.starts_with("Downloading...") &&
               requested[0].status != "Downloading...";
    }));
    harness.Run(RunFileDownload, fast);
    slowWorker.join();
    std::vector<std::string> clip;
    for (const std::string& call : harness.ui.Calls()) {
        if (call == "Play" || call == "Stop") {
            clip.push_back(call);
        }
    }
    EXPECT_EQ(clip, (std::vector<std::string>{"Play", "Stop", "Play", "Stop"}));
    EXPECT_EQ(harness.Downloaded().size(), 2u);
}

TEST_F(FileDownloadWorkerTest, AnEntryDeletedWhileItsWorkerRunsEndsTheWorkerQuietly) {
    Outcome outcome;
    std::thread worker = WorkerOnStalledBody(std::chrono::milliseconds(300), outcome);
    {
        std::lock_guard lock(harness.state.mutex);
        harness.state.RequestedFiles.RemoveAt(0);
    }
    worker.join();
    EXPECT_EQ(outcome.kind, OutcomeKind::Cancelled);
    EXPECT_TRUE(harness.Requested().empty());
    EXPECT_TRUE(harness.Downloaded().empty());
    EXPECT_EQ(harness.RunningJobs(), 0);
    EXPECT_TRUE(harness.ui.CallsStartingWith("Status:Success").empty());
    EXPECT_FALSE(harness.ui.BusyAnimationPlaying());
}

TEST_F(FileDownloadWorkerTest, ACancelledWorkerEndsQuietlyAndNeverReportsSuccess) {
    Outcome outcome;
    std::thread worker = WorkerOnStalledBody(std::chrono::milliseconds(30000), outcome);
    harness.gate->Cancel();
    worker.join();
    EXPECT_EQ(outcome.kind, OutcomeKind::Interrupted);
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_TRUE(harness.Requested()[0].status.starts_with("Downloading..."));
    EXPECT_TRUE(harness.Downloaded().empty());
    EXPECT_EQ(harness.RunningJobs(), 0);
}

TEST_F(FileDownloadWorkerTest, NamesThatCannotBeAFileEndTheWorkerInOrder) {
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {server.Url("/dir/"), "Error creating "},
        {server.Url("/dir/."), "Error creating ."},
        {server.Url("/dir/.."), "Error creating .."},
    };
    for (const auto& [url, status] : hostile) {
        harness.Request(url);
        EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Disk);
    }
    const auto requested = harness.Requested();
    ASSERT_EQ(requested.size(), hostile.size());
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        EXPECT_EQ(requested[i].status, hostile[i].second);
    }
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(harness.RunningJobs(), 0);
    EXPECT_FALSE(harness.ui.BusyAnimationPlaying());
    EXPECT_TRUE(harness.folder.Tree().empty());
}

TEST_F(FileDownloadWorkerTest, SymbolicLinksInTheFilesFolderAreNeverFollowed) {
    testing::TempFolder outside;
    testing::WriteFileBytes(outside.Path() / "target", "precious");
    std::filesystem::create_directories(harness.folder.Path() / "Files");
    std::filesystem::create_symlink(outside.Path() / "target",
                                    harness.folder.Path() / "Files" / "evil.bin");
    server.Serve("/evil.bin", "overwritten");
    server.Serve("/fine.bin", "fine");
    const std::string evil = server.Url("/evil.bin");
    const std::string fine = server.Url("/fine.bin");
    harness.Request(evil);
    harness.Request(fine);
    EXPECT_EQ(harness.Run(RunFileDownload, evil).kind, OutcomeKind::Disk);
    harness.Run(RunFileDownload, fine);
    EXPECT_EQ(testing::ReadFileBytes(outside.Path() / "target"), "precious");
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_EQ(harness.Requested()[0].status, "Error creating evil.bin");
    EXPECT_EQ(harness.LocalFile("fine.bin"), "fine");
}

class HttpsDownloadTest : public ::testing::Test {
protected:
    void Download(testing::TlsTestServer& tls, const std::string& caBundlePath) {
        if (!tls.Started()) {
            GTEST_SKIP() << "the local HTTPS server could not start";
        }
        tls.AddFile("secret.bin", "over TLS");
        url = tls.Url("/secret.bin");
        harness.caBundlePath = caBundlePath;
        harness.Request(url);
        outcome = harness.Run(RunFileDownload, url);
    }
    FileWorkerHarness harness;
    std::string url;
    Outcome outcome;
};

TEST_F(HttpsDownloadTest, ATrustedCertificateForTheHostDownloads) {
    testing::TlsTestServer tls;
    Download(tls, tls.CaBundlePath());
    EXPECT_EQ(outcome.kind, OutcomeKind::Done);
    EXPECT_EQ(harness.LocalFile("secret.bin"), "over TLS");
    EXPECT_EQ(harness.Downloaded().size(), 1u);
}

TEST_F(HttpsDownloadTest, AnUntrustedCertificateFailsWithLibcurlsTextAndWritesNothing) {
    testing::TlsTestServer tls;
    Download(tls, "");
    EXPECT_EQ(outcome.kind, OutcomeKind::Network);
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_NE(harness.Requested()[0].status.find("certificate"), std::string::npos)
        << harness.Requested()[0].status;
    EXPECT_FALSE(harness.LocalFileExists("secret.bin"));
}

TEST_F(HttpsDownloadTest, ACertificateForAnotherHostFailsAndWritesNothing) {
    testing::TlsTestServer tls(true);
    Download(tls, tls.CaBundlePath());
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_NE(harness.Requested()[0].status.find("127.0.0.1"), std::string::npos)
        << harness.Requested()[0].status;
    EXPECT_FALSE(harness.LocalFileExists("secret.bin"));
}

}  // namespace
}  // namespace tarnwick
