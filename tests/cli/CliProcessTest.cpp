#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include "cli/CliRun.h"
#include "support/ChildProcess.h"
#include "support/HttpTestServer.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::Cli;
using testing::Collect;
using testing::Contains;
using testing::Eventually;
using testing::Finished;
using testing::HttpResponse;
using testing::HttpTestServer;
using testing::ReadFileBytes;
using testing::RunCli;
using testing::TempFolder;

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 13 + i / 251) & 0xff);
    }
    return bytes;
}

class CliProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Started()) {
            GTEST_SKIP() << "no local HTTP server";
        }
        server.Serve("/f.bin", body);
        HttpResponse slow;
        slow.body = Pattern(100000);
        slow.stallAtByte = 1000;
        slow.stallInBody = 20s;
        server.Serve("/slow.bin", slow);
    }

    // A get of the stalling file, started once its request reached the server.
    std::unique_ptr<ChildProcess> StartStalledGet() {
        auto process =
            std::make_unique<ChildProcess>(Cli(folder, {"get", server.Url("/slow.bin")}));
        EXPECT_TRUE(Eventually([&] { return !server.Requests().empty(); }));
        std::this_thread::sleep_for(200ms);  // the first block is in
        return process;
    }

    std::string Lists(const char* name) const { return ReadFileBytes(folder.Path() / name); }

    HttpTestServer server;
    TempFolder folder;
    const std::string body = Pattern(300000);
};

TEST_F(CliProcessTest, GetStoresTheFileAndListsItAsTheWindowDoes) {
    const std::string url = server.Url("/f.bin");
    const Finished got = RunCli(folder, {"get", url});
    EXPECT_EQ(got.code, 0) << got.output;
    EXPECT_EQ(got.output, "done " + url + " (293.0 KiB)\n");  // plain lines off a terminal
    EXPECT_EQ(ReadFileBytes(folder.Path() / "Files" / "f.bin"), body);
    EXPECT_EQ(Lists("dnldfiles.data"), url + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "reqfiles.data"));

    const std::string missing = server.Url("/missing.bin");
    const Finished refused = RunCli(folder, {"get", missing});
    EXPECT_EQ(refused.code, 4);
    EXPECT_TRUE(Contains(refused.output, "failed " + missing + ": ")) << refused.output;
    EXPECT_TRUE(Contains(refused.output, "404"));
    EXPECT_EQ(Lists("reqfiles.data"), missing + "\r\n");

    const Finished listed = RunCli(folder, {"list", "files", "done", "--json"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_TRUE(
        Contains(listed.output, R"({"list":"done","entry":")" + url + R"(","status":"Success"})"));
    EXPECT_TRUE(Contains(listed.output, R"({"list":"files","entry":")" + missing));
}

TEST_F(CliProcessTest, MirrorKeepsItsDepthForTheProjectAndMovesItToTheMirroredSites) {
    server.Serve("/index.htm", "<a href=\"one.htm\">one</a>\n");
    server.Serve("/one.htm", "<a href=\"two.htm\">two</a>\n");
    server.Serve("/two.htm", "<p>deep</p>\n");
    const Finished mirrored = RunCli(folder, {"mirror", server.Url("/index.htm"), "--name", "site",
                                              "--depth", "1", "--connections=2", "--no-ascend"});
    EXPECT_EQ(mirrored.code, 0) << mirrored.output;
    EXPECT_EQ(mirrored.output, "done site (2 files)\n");
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "WebSites/site/one.htm"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "WebSites/site/two.htm"));
    EXPECT_EQ(Lists("webprojects.ini"),
              "# Tarnwick web project options, version 1\n\n[site]\ndepth=1\nportable=1\n"
              "requisites=1\nnoascend=1\nconnections=2\n");
    EXPECT_TRUE(Contains(Lists("dnldwebs.data"), "site\r\n" + server.Url("/index.htm")));

    // Run again, the mirrored project is reused with its depth; a new depth replaces it.
    EXPECT_EQ(RunCli(folder, {"mirror", server.Url("/index.htm"), "--name", "site"}).code, 0);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "WebSites/site/two.htm"));
    EXPECT_EQ(
        RunCli(folder, {"mirror", server.Url("/index.htm"), "--name", "site", "--depth", "0"}).code,
        0);
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "WebSites/site/two.htm"));
}

TEST_F(CliProcessTest, SearchAsksTheNamedEnginesOfTheFolderAndKeepsThemForTheProject) {
    testing::WriteFileBytes(folder.Path() / "searchengines.conf",
                            "[Local]\nurl=" + server.Url("/s?q={query}") +
                                "\nresults=<a class=\"r\" href=\"([^\"]+)\"\nwait_ms=0\n");
    server.Serve("/s?q=two+words",
                 "<a class=\"r\" href=\"http://found.example/1\">1</a>\n"
                 "<a class=\"r\" href=\"/2\">2</a>\n");
    const Finished unknown =
        RunCli(folder, {"search", "two words", "--name", "news", "--engine", "lycos"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(Contains(unknown.output, "unknown engine lycos")) << unknown.output;

    const Finished found =
        RunCli(folder, {"search", "two words", "--name", "news", "--engine", "local"});
    EXPECT_EQ(found.code, 0) << found.output;
    EXPECT_EQ(Lists("searchres.data"), "http://found.example/1\r\n" + server.Url("/2") + "\r\n");
    EXPECT_EQ(Lists("searchprojects.ini"),
              "# Tarnwick search project engines, version 1\n\n[news]\nengine=local\n");
    // Run again, the project keeps its engine and no link is listed twice.
    EXPECT_EQ(RunCli(folder, {"search", "two words", "--name", "news"}).code, 0);
    EXPECT_EQ(server.Requests().size(), 2U);
}

TEST_F(CliProcessTest, SigtermDuringATransferEndsPromptlyWithTheListsSaved) {
    auto get = StartStalledGet();
    const auto signalled = std::chrono::steady_clock::now();
    get->Signal(SIGTERM);
    EXPECT_EQ(get->Wait(), 143);
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, 2s);
    EXPECT_EQ(Lists("reqfiles.data"), server.Url("/slow.bin") + "\r\n");
    for (const std::string& name : folder.Tree()) {
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;  // no save left half-done
    }
}

TEST_F(CliProcessTest, ASecondCommandLineNeverWritesBesideTheFirst) {
    auto first = StartStalledGet();
    const Finished refused = RunCli(folder, {"add", "http://h/second.zip"});
    EXPECT_EQ(refused.code, 6);
    EXPECT_TRUE(Contains(refused.output, "is in use by another Tarnwick")) << refused.output;

    ChildProcess waiting(Cli(folder, {"--wait", "add", "http://h/second.zip"}));
    EXPECT_TRUE(Contains(waiting.ReadLine(5s).value_or(""), "waiting for"));
    first->Signal(SIGTERM);
    EXPECT_EQ(first->Wait(), 143);
    EXPECT_EQ(Collect(waiting).code, 0);
    // The second read what the first saved before adding its own.
    EXPECT_EQ(Lists("reqfiles.data"), server.Url("/slow.bin") + "\r\nhttp://h/second.zip\r\n");
}

TEST_F(CliProcessTest, AKilledRunLeavesItsRequestListedAndItsLockNotStale) {
    auto killed = StartStalledGet();
    killed->Signal(SIGKILL);
    killed->Wait();
    const Finished after = RunCli(folder, {"add", "http://h/after.zip"});
    EXPECT_EQ(after.code, 0) << after.output;
    EXPECT_EQ(Lists("reqfiles.data"), server.Url("/slow.bin") + "\r\nhttp://h/after.zip\r\n");
}

TEST_F(CliProcessTest, WhileTheWindowHoldsTheFolderItTakesTheWork) {
    ChildProcess window(
        {"sh", "-c", "cd \"$0\" && exec \"$1\"", folder.Path().string(), TARNWICK_WINDOW_PATH});
    // The window writes its process id into the lock file once it holds the folder; its start
    // dialog is open from then on.
    ASSERT_TRUE(Eventually([&] { return !Lists(".tarnwick.lock").empty(); }));

    const Finished added = RunCli(folder, {"add", "http://h/later.zip"});
    EXPECT_EQ(added.code, 0) << added.output;
    EXPECT_TRUE(Contains(added.output, "handed to the window"));
    EXPECT_EQ(Lists("reqfiles.data"), "http://h/later.zip\r\n");  // saved by the window

    const std::string url = server.Url("/f.bin");
    EXPECT_EQ(RunCli(folder, {"get", url}).code, 0);
    EXPECT_TRUE(
        Eventually([&] { return ReadFileBytes(folder.Path() / "Files" / "f.bin") == body; }));
    // An unknown name is the same usage error whether the window or the command line is asked.
    const Finished unknown = RunCli(folder, {"run", "no-such-entry"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(Contains(unknown.output, "no requested entry is named no-such-entry"));
    // A second window started with a URL hands it over too, and ends.
    ChildProcess second({"sh", "-c", "cd \"$0\" && exec \"$1\" \"$2\"", folder.Path().string(),
                         TARNWICK_WINDOW_PATH, "http://h/from-desktop.zip"});
    EXPECT_EQ(second.Wait(10s), 0);
    // A transfer still running when the window is told to end stays requested.
    EXPECT_EQ(RunCli(folder, {"get", server.Url("/slow.bin")}).code, 0);
    EXPECT_TRUE(Eventually([&] { return server.Requests().size() >= 2; }));

    window.Signal(SIGTERM);
    EXPECT_EQ(window.Wait(10s), 143);
    EXPECT_EQ(Lists("dnldfiles.data"), url + "\r\n");
    EXPECT_EQ(Lists("reqfiles.data"), "http://h/later.zip\r\nhttp://h/from-desktop.zip\r\n" +
                                          server.Url("/slow.bin") + "\r\n");
    // With the window gone, the folder is free for the command line.
    EXPECT_EQ(RunCli(folder, {"add", "http://h/after.zip"}).code, 0);
}

}  // namespace
}  // namespace tarnwick
