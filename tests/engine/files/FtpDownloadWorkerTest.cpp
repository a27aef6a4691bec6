#include <gtest/gtest.h>

#include <algorithm>

#include "engine/FileWorkerHarness.h"
#include "engine/files/FileWorkers.h"
#include "engine/net/NetLibrary.h"
#include "support/FtpTestServer.h"

namespace tarnwick {
namespace {

using testing::FileWorkerHarness;
using testing::FtpTestServer;

const NetLibrary netLibrary;

class FtpDownloadWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Started()) {
            GTEST_SKIP() << "pyftpdlib could not be started on 127.0.0.1";
        }
    }

    bool Has(const std::string& call) const {
        const auto calls = harness.ui.Calls();
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    FtpTestServer server;
    FileWorkerHarness harness;
};

TEST_F(FtpDownloadWorkerTest, FilesInASubdirectoryAndDirectlyBelowTheHostArrive) {
    std::string binary(1536, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>(i % 253);  // CR and LF among them: a binary transfer
    }
    server.AddFile("pub/tools/unzip.exe", binary);
    server.AddFile("top.zip", "top level");
    const std::string deep = server.Url("/pub/tools/unzip.exe");
    const std::string top = server.Url("/top.zip");
    harness.Request(top);
    harness.Request(deep);
    harness.Follow(deep);

    EXPECT_EQ(harness.Run(RunFtpDownload, deep).kind, OutcomeKind::Done);
    EXPECT_TRUE(Has("RowStatus:0|Downloading in progress..."));
    EXPECT_TRUE(Has("Status:Downloading...1.50k read"));
    EXPECT_TRUE(Has("LastAction:Download ended"));
    EXPECT_EQ(harness.Run(RunFtpDownload, top).kind, OutcomeKind::Done);

    EXPECT_EQ(harness.LocalFile("unzip.exe"), binary);
    EXPECT_EQ(harness.LocalFile("top.zip"), "top level");
    ASSERT_EQ(harness.Downloaded().size(), 2u);
    EXPECT_EQ(harness.Downloaded()[0].url, deep);
    EXPECT_EQ(harness.Downloaded()[0].status, "Success");
    EXPECT_TRUE(harness.Requested().empty());
    EXPECT_EQ(harness.RunningJobs(), 0);
    EXPECT_FALSE(harness.ui.BusyAnimationPlaying());
}

TEST_F(FtpDownloadWorkerTest, AUrlWithoutAPathAfterTheHostCannotBeParsed) {
    for (const std::string& url : {std::string("ftp://127.0.0.1"), std::string("//ftp://x")}) {
        harness.Request(url);
        EXPECT_EQ(harness.Run(RunFtpDownload, url).kind, OutcomeKind::BadRequest) << url;
    }
    EXPECT_EQ(harness.ui.Messages(),
              (std::vector<std::string>{"Error parsing url", "Error parsing url"}));
    for (const FileEntry& entry : harness.Requested()) {
        EXPECT_EQ(entry.status, "Downloading...");  // as the control left it
    }
    EXPECT_EQ(harness.RunningJobs(), 0);
    EXPECT_TRUE(harness.ui.CallsStartingWith("Play").empty());
}

TEST_F(FtpDownloadWorkerTest, AFileTheServerDoesNotListIsNotFound) {
    server.AddFile("pub/present.txt", "here");
    const std::vector<std::string> urls = {
        server.Url("/pub/absent.txt"),
        server.Url("/nosuchdir/present.txt"),  // the refused directory leaves the root current
        server.Url("/pub/"),
    };
    for (const std::string& url : urls) {
        harness.Request(url);
        EXPECT_EQ(harness.Run(RunFtpDownload, url).kind, OutcomeKind::ServerRefused) << url;
    }
    EXPECT_EQ(harness.ui.Messages(), std::vector<std::string>(urls.size(), "Error finding file"));
    EXPECT_EQ(harness.Requested().size(), urls.size());
    EXPECT_EQ(harness.RunningJobs(), 0);
    EXPECT_FALSE(harness.ui.BusyAnimationPlaying());
    EXPECT_TRUE(harness.folder.Tree().empty());
}

TEST_F(FtpDownloadWorkerTest, AnUnreachableServerLeavesTheEntryWithTheErrorText) {
    const std::string url = "ftp://127.0.0.1:1/pub/a.zip";
    harness.Request(url);
    EXPECT_EQ(harness.Run(RunFtpDownload, url).kind, OutcomeKind::Network);
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_NE(harness.Requested()[0].status.find("onnect"), std::string::npos)
        << harness.Requested()[0].status;
    EXPECT_TRUE(harness.ui.Messages().empty());
    EXPECT_EQ(harness.RunningJobs(), 0);
}

}  // namespace
}  // namespace tarnwick
