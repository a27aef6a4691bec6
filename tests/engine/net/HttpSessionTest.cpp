#include "engine/net/HttpSession.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/net/NetLibrary.h"
#include "support/HttpTestServer.h"

namespace tarnwick {
namespace {

using testing::HttpResponse;
using testing::HttpTestServer;

const NetLibrary netLibrary;

struct Fetched {
    TransferResult result;
    std::string body;
};

Fetched Fetch(HttpSession& session, HttpRequest request) {
    Fetched fetched;
    fetched.result = session.Get(request, [&fetched](std::string_view data) {
        fetched.body.append(data);
        return true;
    });
    return fetched;
}

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xff);
    }
    return bytes;
}

HttpResponse Redirect(int status, const std::string& location, const std::string& body = {}) {
    HttpResponse response;
    response.status = status;
    response.body = body;
    response.headers = {{"Location", location}};
    return response;
}

class HttpSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Started()) {
            GTEST_SKIP() << "the local HTTP server could not start";
        }
    }
    HttpTestServer server;
};

TEST_F(HttpSessionTest, StreamsBodiesOverOneKeptAliveConnectionWithTheGivenHeaders) {
    const std::string binary = Pattern(300 * 1024);
    server.Serve("/a.bin", binary);
    server.Serve("/b.txt?x=1", "second");
    HttpSession session;

    const Fetched first = Fetch(session, {server.Url("/a.bin"), {"Accept: */*"}});
    const Fetched second = Fetch(session, {server.Url("/b.txt?x=1"), {}});

    EXPECT_TRUE(first.result.ok) << first.result.errorText;
    EXPECT_EQ(first.result.responseCode, 200);
    EXPECT_EQ(first.body, binary);
    EXPECT_TRUE(second.result.ok);
    EXPECT_EQ(second.body, "second");
    EXPECT_EQ(session.ConnectionsOpened(), 1);
    EXPECT_EQ(server.ConnectionCount(), 1);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].requestLine, "GET /a.bin HTTP/1.1");
    EXPECT_NE(
        std::find(requests[0].headerLines.begin(), requests[0].headerLines.end(), "Accept: */*"),
        requests[0].headerLines.end());
    EXPECT_EQ(requests[1].target, "/b.txt?x=1");
}

TEST_F(HttpSessionTest, ErrorStatusFailsOnlyWhenAskedAndThenDeliversNoBody) {
    HttpSession session;
    const Fetched lenient = Fetch(session, {server.Url("/missing"), {}});
    EXPECT_TRUE(lenient.result.ok);
    EXPECT_EQ(lenient.result.responseCode, 404);
    EXPECT_NE(lenient.body.find("Not Found"), std::string::npos);

    HttpRequest strict{server.Url("/missing"), {}};
    strict.failOnHttpError = true;
    const Fetched failed = Fetch(session, strict);
    EXPECT_FALSE(failed.result.ok);
    EXPECT_FALSE(failed.result.cancelled);
    EXPECT_EQ(failed.result.responseCode, 404);
    EXPECT_EQ(failed.result.errorText, "The requested URL returned error: 404");
    EXPECT_EQ(failed.body, "");
}

TEST_F(HttpSessionTest, ShortOrOverAnnouncedBodiesFailAndAnEmptyBodySucceeds) {
    HttpResponse cut;
    cut.body = Pattern(10000);
    cut.closeAfterBytes = 4000;
    server.Serve("/cut", cut);
    HttpResponse overAnnounced;
    overAnnounced.body = "short";
    overAnnounced.contentLength = 50;
    server.Serve("/long", overAnnounced);
    server.Serve("/empty", "");
    HttpSession session;

    for (const char* path : {"/cut", "/long"}) {
        const Fetched fetched = Fetch(session, {server.Url(path), {}});
        EXPECT_FALSE(fetched.result.ok) << path;
        EXPECT_NE(fetched.result.errorText.find("transfer closed"), std::string::npos)
            << fetched.result.errorText;
    }
    const Fetched empty = Fetch(session, {server.Url("/empty"), {}});
    EXPECT_TRUE(empty.result.ok) << empty.result.errorText;
    EXPECT_EQ(empty.body, "");
}

TEST_F(HttpSessionTest, RedirectsAreFollowedOnlyWhenAskedAndOnlyToHttp) {
    server.Serve("/moved", Redirect(302, "/here", "moved"));
    server.Serve("/here", "arrived");
    server.Serve("/to-file", Redirect(302, "file:///etc/hostname"));
    server.Serve("/to-ftp", Redirect(301, "ftp://127.0.0.1/x"));
    HttpSession session;

    HttpRequest follow{server.Url("/moved"), {}};
    follow.followRedirects = true;
    const Fetched followed = Fetch(session, follow);
    EXPECT_TRUE(followed.result.ok);
    EXPECT_EQ(followed.body, "arrived");

    const Fetched notFollowed = Fetch(session, {server.Url("/moved"), {}});
    EXPECT_EQ(notFollowed.result.responseCode, 302);
    EXPECT_EQ(notFollowed.body, "moved");

    for (const char* path : {"/to-file", "/to-ftp"}) {
        HttpRequest hostile{server.Url(path), {}};
        hostile.followRedirects = true;
        const Fetched refused = Fetch(session, hostile);
        EXPECT_FALSE(refused.result.ok) << path;
        EXPECT_NE(refused.result.errorText.find("not supported"), std::string::npos)
            << refused.result.errorText;
        EXPECT_EQ(refused.body, "");
    }
}

TEST_F(HttpSessionTest, SchemesOtherThanHttpHttpsAndFtpAreRefused) {
    HttpSession session;
    for (const char* url : {"file:///etc/hostname", "dict://127.0.0.1/x", "gopher://127.0.0.1/"}) {
        const Fetched refused = Fetch(session, {url, {}});
        EXPECT_FALSE(refused.result.ok) << url;
        EXPECT_FALSE(refused.result.errorText.empty());
        EXPECT_EQ(refused.body, "");
    }
}

TEST_F(HttpSessionTest, APausedTransferDeliversNothingAndResumesOnTheSameConnection) {
    const std::string body = Pattern(4 * 1024 * 1024);
    server.Serve("/p", body);
    auto gate = std::make_shared<JobGate>();
    HttpSession session(gate);
    std::atomic<std::size_t> received{0};
    TransferResult result;
    std::thread transfer([&] {
        result = session.Get({server.Url("/p"), {}}, [&](std::string_view data) {
            // Counted before the gate closes, so the count is final once it reads paused.
            const bool first = received == 0;
            received += data.size();
            if (first) {
                gate->Pause();  // closes the gate in the middle of the body
            }
            return true;
        });
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!gate->IsPaused() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const std::size_t beforePause = received;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(received.load(), beforePause);
    EXPECT_LT(beforePause, body.size());
    gate->Resume();
    transfer.join();
    EXPECT_TRUE(result.ok) << result.errorText;
    EXPECT_EQ(received.load(), body.size());
    EXPECT_EQ(server.ConnectionCount(), 1);
}

TEST_F(HttpSessionTest, CancelOrARefusingReceiverEndsTheTransferAsCancelled) {
    HttpResponse slow;
    slow.body = Pattern(20000);
    slow.stallAtByte = 1000;
    slow.stallInBody = std::chrono::milliseconds(30000);
    server.Serve("/slow", slow);
    server.Serve("/fast", Pattern(20000));

    auto gate = std::make_shared<JobGate>();
    HttpSession session(gate);
    std::thread canceller([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (server.Requests().empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        gate->Cancel();
    });
    const Fetched cancelled = Fetch(session, {server.Url("/slow"), {}});
    canceller.join();
    EXPECT_FALSE(cancelled.result.ok);
    EXPECT_TRUE(cancelled.result.cancelled);

    HttpSession refusing;
    const TransferResult stopped =
        refusing.Get({server.Url("/fast"), {}}, [](std::string_view) { return false; });
    EXPECT_FALSE(stopped.ok);
    EXPECT_TRUE(stopped.cancelled);
}

}  // namespace
}  // namespace tarnwick
