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
using testing::Eventually;
using testing::HttpResponse;
using testing::HttpTestServer;
using testing::ReadFileBytes;
using testing::RecordedRequest;
using testing::TempFolder;

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 11 + i / 509) & 0xff);
    }
    return bytes;
}

std::vector<std::string> Get(const TempFolder& folder, const std::string& url) {
    return {
        "sh",  "-c", "exec \"$0\" \"$@\" 2>&1", TARNWICK_CLI_PATH, "--dir", folder.Path().string(),
        "get", url};
}

// A real tarnwick-cli killed with SIGKILL in the middle of a transfer leaves the bytes it had
// and their metadata; the next one fetches only the rest, checked against the ETag.
TEST(ResumeProcessTest, AGetKilledMidTransferResumesAndFetchesOnlyTheTail) {
    HttpTestServer server;
    if (!server.Started()) {
        GTEST_SKIP() << "no local HTTP server";
    }
    const std::string body = Pattern(400000);
    HttpResponse response;
    response.body = body;
    response.ranges = true;
    response.headers = {{"ETag", "\"k1\""}};
    HttpResponse stalled = response;
    stalled.stallAtByte = 150000;
    stalled.stallInBody = 30s;
    server.Serve("/big.bin", stalled);
    TempFolder folder;
    const std::string url = server.Url("/big.bin");
    const auto metadata = folder.Path() / "Files" / "big.bin.part.meta";

    {
        ChildProcess killed(Get(folder, url));
        ASSERT_TRUE(Eventually([&] {
            return ReadFileBytes(metadata).find("\ncommitted=150000\n") != std::string::npos;
        })) << ReadFileBytes(metadata);
        killed.Signal(SIGKILL);
        EXPECT_EQ(killed.Wait(), -1);
    }
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Files" / "big.bin.part"));

    server.Serve("/big.bin", response);
    ChildProcess again(Get(folder, url));
    std::string output;
    while (const auto line = again.ReadLine(30s)) {
        output += *line + "\n";
    }
    EXPECT_EQ(again.Wait(), 0) << output;
    EXPECT_TRUE(ReadFileBytes(folder.Path() / "Files" / "big.bin") == body);
    for (const std::string& name : folder.Tree()) {
        EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    }
    const std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].Header("Range"), "bytes=150000-");
    EXPECT_EQ(requests[1].Header("If-Range"), "\"k1\"");
    EXPECT_EQ(requests[1].status, 206);
    EXPECT_EQ(requests[1].bodyBytesSent, body.size() - 150000);
}

}  // namespace
}  // namespace tarnwick
