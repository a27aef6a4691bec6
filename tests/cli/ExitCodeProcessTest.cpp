#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/CliRun.h"
#include "support/HttpTestServer.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using testing::Contains;
using testing::Finished;
using testing::HttpResponse;
using testing::HttpTestServer;
using testing::RunCli;
using testing::TempFolder;

// Each way a run can end, told by the real tarnwick-cli's exit code against the tests' own
// server: the code comes from what happened, whatever words libcurl or the server chose.
class ExitCodeProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Started()) {
            GTEST_SKIP() << "no local HTTP server";
        }
        server.Serve("/file.bin", std::string(200000, 'f'));
        server.Serve("/site/index.html",
                     "<html><body><a href=\"a.html\">a</a> <a href=\"b.html\">b</a>"
                     "<img src=\"logo.png\"></body></html>");
        server.Serve("/site/a.html", "<html><body>a</body></html>");
        server.Serve("/site/b.html", "<html><body>b</body></html>");
        server.Serve("/site/logo.png", "png");
        // A connection refused is not tried again: each run ends at once.
        testing::WriteFileBytes(folder.Path() / "settings.ini", "[transfers]\nretries=0\n");
    }

    // A port where nothing listens: the server's own, once it is gone.
    static std::string DeadUrl(const std::string& path) {
        HttpTestServer gone;
        return gone.Url(path);
    }

    // The folder's search engines, each asking one path of the server.
    void Engines(const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& name : names) {
            text += "[" + name + "]\nurl=" + server.Url("/" + name + "?q={query}") +
                    "\nresults=<a class=\"r\" href=\"([^\"]+)\"\nwait_ms=0\n";
        }
        testing::WriteFileBytes(folder.Path() / "searchengines.conf", text);
    }

    HttpTestServer server;
    TempFolder folder;
};

TEST_F(ExitCodeProcessTest, FilesEndWithTheCodeOfWhatHappened) {
    EXPECT_EQ(RunCli(folder, {"get", server.Url("/file.bin")}).code, 0);

    const Finished unreachable = RunCli(folder, {"get", DeadUrl("/file.bin")});
    EXPECT_EQ(unreachable.code, 3) << unreachable.output;

    const Finished missing = RunCli(folder, {"get", server.Url("/missing.bin")});
    EXPECT_EQ(missing.code, 4) << missing.output;

    // A 304 to a request that named no version is no file, not a network failure.
    HttpResponse unchanged;
    unchanged.status = 304;
    server.Serve("/unchanged.bin", unchanged);
    const Finished notModified = RunCli(folder, {"get", server.Url("/unchanged.bin")});
    EXPECT_EQ(notModified.code, 4) << notModified.output;
    EXPECT_TRUE(Contains(notModified.output, "Unexpected answer 304")) << notModified.output;

    server.Serve("/sum.bin", std::string(1000, 's'));
    const Finished mismatch = RunCli(
        folder, {"get", "--checksum", "sha256=" + std::string(64, '0'), server.Url("/sum.bin")});
    EXPECT_EQ(mismatch.code, 7) << mismatch.output;
    EXPECT_TRUE(Contains(mismatch.output, "Checksum mismatch")) << mismatch.output;

    const Finished unparsed = RunCli(folder, {"get", "ftp://127.0.0.1"});
    EXPECT_EQ(unparsed.code, 2) << unparsed.output;

    // Two failures of different kinds give the code of neither.
    const Finished mixed =
        RunCli(folder, {"get", server.Url("/missing2.bin"), DeadUrl("/other.bin")});
    EXPECT_EQ(mixed.code, 1) << mixed.output;
}

TEST_F(ExitCodeProcessTest, AFullDiskIsADiskFailureThatKeepsWhatArrived) {
    // A file size limit stands in for the full disk; the lists are small enough to be saved.
    const Finished full =
        RunCli(folder, {"get", server.Url("/file.bin")}, "trap '' XFSZ; ulimit -f 64");
    EXPECT_EQ(full.code, 5) << full.output;
    EXPECT_TRUE(Contains(full.output, "Error writing file.bin")) << full.output;
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Files" / "file.bin.part"));
}

TEST_F(ExitCodeProcessTest, AMirrorIsDonePartlyDoneOrFailedByWhatItStored) {
    EXPECT_EQ(RunCli(folder, {"mirror", server.Url("/site/index.html"), "--name", "whole"}).code,
              0);

    // One page the server cuts short: the copy holds the rest.
    HttpResponse cut;
    cut.body = std::string(5000, 'c');
    cut.closeAfterBytes = 100;
    server.Serve("/site/b.html", cut);
    const Finished broken =
        RunCli(folder, {"mirror", server.Url("/site/index.html"), "--name", "broken"});
    EXPECT_EQ(broken.code, 8) << broken.output;
    EXPECT_TRUE(Contains(broken.output, "partly done broken: Some errors occurred"))
        << broken.output;

    // One page that cannot be stored, a folder standing where it goes.
    std::filesystem::create_directories(folder.Path() / "WebSites" / "blocked" / "site" / "a.html");
    const Finished blocked =
        RunCli(folder, {"mirror", server.Url("/site/index.html"), "--name", "blocked"});
    EXPECT_EQ(blocked.code, 8) << blocked.output;

    // No page can be stored at all: a file stands where the project's folder goes.
    testing::WriteFileBytes(folder.Path() / "WebSites" / "nowhere", "in the way");
    const Finished nowhere =
        RunCli(folder, {"mirror", server.Url("/site/index.html"), "--name", "nowhere"});
    EXPECT_EQ(nowhere.code, 5) << nowhere.output;

    // Nothing of the site came.
    const Finished unreachable =
        RunCli(folder, {"mirror", DeadUrl("/site/index.html"), "--name", "unreachable"});
    EXPECT_EQ(unreachable.code, 3) << unreachable.output;
    const Finished missing =
        RunCli(folder, {"mirror", server.Url("/site/nothing.html"), "--name", "missing"});
    EXPECT_EQ(missing.code, 4) << missing.output;
}

TEST_F(ExitCodeProcessTest, ASearchIsDoneOnlyWhenEveryEngineCouldBeAsked) {
    Engines({"Good", "Refusing"});
    server.Serve("/Good?q=tarn", "<a class=\"r\" href=\"http://found.example/1\">1</a>");
    HttpResponse refusing;
    refusing.status = 503;
    server.Serve("/Refusing?q=tarn", refusing);

    EXPECT_EQ(RunCli(folder, {"search", "tarn", "--name", "one", "--engine", "Good"}).code, 0);
    const Finished partly = RunCli(folder, {"search", "tarn", "--name", "both"});
    EXPECT_EQ(partly.code, 8) << partly.output;
    EXPECT_TRUE(Contains(partly.output, "partly done both: Error retrieving links from Refusing"))
        << partly.output;

    // No usable engine: every one refused, or none could be reached.
    const Finished refused =
        RunCli(folder, {"search", "tarn", "--name", "refused", "--engine", "Refusing"});
    EXPECT_EQ(refused.code, 4) << refused.output;
    testing::WriteFileBytes(folder.Path() / "searchengines.conf",
                            "[Gone]\nurl=" + DeadUrl("/Gone?q={query}") +
                                "\nresults=<a href=\"([^\"]+)\"\nwait_ms=0\n");
    const Finished unreachable =
        RunCli(folder, {"search", "tarn", "--name", "unreachable", "--engine", "Gone"});
    EXPECT_EQ(unreachable.code, 3) << unreachable.output;
}

}  // namespace
}  // namespace tarnwick
