#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "engine/FileWorkerHarness.h"
#include "engine/files/FileWorkers.h"
#include "engine/files/PartialProgress.h"
#include "engine/net/NetLibrary.h"
#include "engine/transfer/Hasher.h"
#include "support/FtpTestServer.h"
#include "support/HttpTestServer.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using testing::FileWorkerHarness;
using testing::FtpTestServer;
using testing::HttpResponse;
using testing::HttpTestServer;
using testing::RecordedRequest;

const NetLibrary netLibrary;

std::string Pattern(std::size_t size, int variant = 1) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * (7 + variant) + i / 256 + variant) & 0xff);
    }
    return bytes;
}

// A body served as a real server would: ranges honoured, a strong ETag.
HttpResponse Versioned(const std::string& body, const std::string& etag) {
    HttpResponse response;
    response.body = body;
    response.ranges = true;
    response.headers = {{"ETag", "\"" + etag + "\""}};
    return response;
}

HttpResponse CutAt(HttpResponse response, std::size_t bytes) {
    response.closeAfterBytes = bytes;
    return response;
}

HttpResponse StalledAt(HttpResponse response, std::size_t bytes) {
    response.stallAtByte = bytes;
    response.stallInBody = 20s;
    return response;
}

// Byte strings compared without printing them whole.
::testing::AssertionResult SameBytes(const std::string& got, const std::string& wanted) {
    if (got == wanted) {
        return ::testing::AssertionSuccess();
    }
    std::size_t at = 0;
    while (at < got.size() && at < wanted.size() && got[at] == wanted[at]) {
        ++at;
    }
    return ::testing::AssertionFailure() << got.size() << " bytes where " << wanted.size()
                                         << " were wanted, differing from byte " << at;
}

std::string Digest(ChecksumAlgorithm algorithm, const std::string& bytes) {
    Hasher hasher(algorithm);
    hasher.Update(bytes);
    return hasher.FinishHex();
}

// Records what the worker reports to a progress bar.
class RecordingProgress : public EntryEvents {
public:
    void EntryChanged(const EntryChange& change) override {
        if (!change.progress) {
            return;
        }
        std::lock_guard lock(mutex_);
        snapshots_.push_back(*change.progress);
    }
    std::vector<TransferSnapshot> Snapshots() const {
        std::lock_guard lock(mutex_);
        return snapshots_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<TransferSnapshot> snapshots_;
};

class ResumableTransferTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Started()) {
            GTEST_SKIP() << "the local HTTP server could not start";
        }
    }

    std::string Request(const std::string& path) {
        const std::string url = server.Url(path);
        harness.Request(url);
        return url;
    }

    // Runs the workers until their first bytes are held and committed, then cancels them as
    // an exit would; the next run gets a fresh gate.
    void Interrupt(Outcome (*worker)(WorkerContext&, FileEntry),
                   const std::vector<std::string>& urls, std::uint64_t held) {
        std::vector<std::thread> running;
        for (const std::string& url : urls) {
            running.emplace_back([&, url] { harness.Run(worker, url); });
        }
        for (const std::string& url : urls) {
            EXPECT_TRUE(FileWorkerHarness::WaitUntil([&] {
                const auto progress =
                    PartialProgress(DownloadFolder::Of(harness.folder.Path(), {}), url);
                return progress && progress->done >= held;
            })) << url;
        }
        harness.gate->Cancel();
        for (std::thread& thread : running) {
            thread.join();
        }
        harness.gate = std::make_shared<JobGate>();
    }

    // Files of the working folder whose names say they are partial.
    std::vector<std::string> LeftOvers() const {
        std::vector<std::string> partial;
        for (const std::string& name : harness.folder.Tree()) {
            if (name.find(".part") != std::string::npos || name.ends_with(".tmp")) {
                partial.push_back(name);
            }
        }
        return partial;
    }

    std::vector<RecordedRequest> RequestsFor(const std::string& target) const {
        std::vector<RecordedRequest> found;
        for (const RecordedRequest& request : server.Requests()) {
            if (request.target == target) {
                found.push_back(request);
            }
        }
        return found;
    }

    void ExpectDownloaded(const std::string& name, const std::string& bytes) {
        EXPECT_TRUE(SameBytes(harness.LocalFile(name), bytes));
        EXPECT_TRUE(LeftOvers().empty()) << LeftOvers().front();
        ASSERT_EQ(harness.Downloaded().size(), 1u);
        EXPECT_TRUE(harness.Requested().empty());
    }

    HttpTestServer server;
    FileWorkerHarness harness;
};

TEST_F(ResumableTransferTest, AnInterruptedFileResumesWithARangeAndStartsOverWhenItChanged) {
    const std::string first = Pattern(200000, 1);
    server.Serve("/kept.bin", StalledAt(Versioned(first, "v1"), 50000));
    server.Serve("/changed.bin", StalledAt(Versioned(first, "v1"), 50000));
    server.Serve("/dropped.bin", StalledAt(Versioned(first, "d1"), 50000));
    const std::string kept = Request("/kept.bin");
    const std::string changed = Request("/changed.bin");
    const std::string dropped = Request("/dropped.bin");
    Interrupt(RunFileDownload, {kept, changed, dropped}, 50000);
    // A deleted entry's partial download can be thrown away with it.
    DiscardPartial(DownloadFolder::Of(harness.folder.Path(), {}), dropped);
    EXPECT_FALSE(
        PartialProgress(DownloadFolder::Of(harness.folder.Path(), {}), dropped).has_value());
    const auto partial = PartialProgress(DownloadFolder::Of(harness.folder.Path(), {}), kept);
    ASSERT_TRUE(partial.has_value());
    EXPECT_EQ(partial->done, 50000u);
    EXPECT_EQ(partial->total, 200000);
    EXPECT_FALSE(
        PartialProgress(DownloadFolder::Of(harness.folder.Path(), {}), server.Url("/other.bin"))
            .has_value());
    DiscardPartial(DownloadFolder::Of(harness.folder.Path(), {}),
                   server.Url("/other.bin"));  // not this one's: kept
    EXPECT_TRUE(PartialProgress(DownloadFolder::Of(harness.folder.Path(), {}), kept).has_value());

    server.Serve("/kept.bin", Versioned(first, "v1"));
    const std::string second = Pattern(180000, 2);
    server.Serve("/changed.bin", Versioned(second, "v2"));
    EXPECT_EQ(harness.Run(RunFileDownload, kept).kind, OutcomeKind::Done);
    EXPECT_EQ(harness.Run(RunFileDownload, changed).kind, OutcomeKind::Done);

    EXPECT_TRUE(SameBytes(harness.LocalFile("kept.bin"), first));
    const RecordedRequest resumed = RequestsFor("/kept.bin").back();
    EXPECT_EQ(resumed.Header("Range"), "bytes=50000-");
    EXPECT_EQ(resumed.Header("If-Range"), "\"v1\"");
    EXPECT_EQ(resumed.status, 206);
    EXPECT_EQ(resumed.bodyBytesSent, 150000u);  // only the tail came again

    EXPECT_TRUE(SameBytes(harness.LocalFile("changed.bin"), second));  // never spliced
    const RecordedRequest restarted = RequestsFor("/changed.bin").back();
    EXPECT_EQ(restarted.Header("If-Range"), "\"v1\"");
    EXPECT_EQ(restarted.status, 200);
    EXPECT_TRUE(LeftOvers().empty());
    EXPECT_EQ(harness.Downloaded().size(), 2u);  // the dropped one stays requested
}

TEST_F(ResumableTransferTest, DroppedStalledAndRangeIgnoringTransfersEndByteExact) {
    const std::string body = Pattern(150000);
    HttpResponse stalled = Versioned(body, "s1");
    stalled.stallAtByte = 1500;
    stalled.stallInBody = 10s;
    HttpResponse dated;
    dated.body = body;  // no ranges, and a date for a validator
    dated.headers = {{"Last-Modified", "Tue, 01 Dec 2026 10:00:00 GMT"}};
    struct Case {
        std::string path;
        std::vector<HttpResponse> answers;
        std::string ifRange;
        int resumedStatus;
    };
    const std::vector<Case> cases = {
        {"/dropped.bin",
         {CutAt(Versioned(body, "d1"), 70000), Versioned(body, "d1")},
         "\"d1\"",
         206},
        {"/stalled.bin", {stalled, Versioned(body, "s1")}, "\"s1\"", 206},
        {"/ignores.bin", {CutAt(dated, 60000), dated}, "Tue, 01 Dec 2026 10:00:00 GMT", 200},
    };
    harness.policy.stallTime = 1s;
    for (const Case& c : cases) {
        server.ServeInTurn(c.path, c.answers);
        const std::string url = Request(c.path);
        EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Done);
        EXPECT_TRUE(SameBytes(harness.LocalFile(c.path.substr(1)), body)) << c.path;
        const auto requests = RequestsFor(c.path);
        ASSERT_EQ(requests.size(), 2u) << c.path;
        EXPECT_TRUE(requests[1].Header("Range").starts_with("bytes=")) << c.path;
        EXPECT_NE(requests[1].Header("Range"), "bytes=0-") << c.path;
        EXPECT_EQ(requests[1].Header("If-Range"), c.ifRange) << c.path;
        EXPECT_EQ(requests[1].status, c.resumedStatus) << c.path;
    }
    EXPECT_TRUE(LeftOvers().empty());
    EXPECT_EQ(harness.Downloaded().size(), cases.size());
}

TEST_F(ResumableTransferTest, AnswersThatDoNotFitTheBytesHeldStartTheFileOver) {
    const std::string body = Pattern(120000);
    const auto partial = [&](std::string range, std::string bytes, std::string etag) {
        HttpResponse response;
        response.status = 206;
        response.body = std::move(bytes);
        response.headers = {{"ETag", "\"" + etag + "\""}, {"Content-Range", std::move(range)}};
        return response;
    };
    HttpResponse wrongLength =
        partial("bytes 40000-119999/120000", body.substr(40000, 50000), "v1");
    struct Case {
        std::string path;
        HttpResponse misfit;
    };
    const std::vector<Case> cases = {
        {"/start.bin", partial("bytes 0-119999/120000", body, "v1")},
        {"/total.bin", partial("bytes 40000-99999/100000", body.substr(40000, 60000), "v1")},
        {"/length.bin", wrongLength},
        {"/tag.bin", partial("bytes 40000-119999/120000", Pattern(80000, 3), "v2")},
    };
    HttpResponse whole;
    whole.body = body;
    whole.headers = {{"ETag", "\"v1\""}};
    for (const Case& c : cases) {
        server.ServeInTurn(c.path, {CutAt(Versioned(body, "v1"), 40000), c.misfit, whole});
        const std::string url = Request(c.path);
        EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Done) << c.path;
        EXPECT_TRUE(SameBytes(harness.LocalFile(c.path.substr(1)), body)) << c.path;
        const auto requests = RequestsFor(c.path);
        ASSERT_EQ(requests.size(), 3u) << c.path;
        EXPECT_EQ(requests[1].Header("Range"), "bytes=40000-") << c.path;
        EXPECT_EQ(requests[2].Header("Range"), "") << c.path;  // the whole file, afresh
    }
    EXPECT_TRUE(LeftOvers().empty());
    EXPECT_EQ(harness.Downloaded().size(), cases.size());
}

TEST_F(ResumableTransferTest, RetryAfterIsWaitedOutAndOtherClientErrorsFailAtOnce) {
    const std::string body = Pattern(40000);
    HttpResponse busy;
    busy.status = 503;
    busy.body = "busy";
    busy.headers = {{"Retry-After", "1"}};
    server.ServeInTurn("/busy.bin", {busy, Versioned(body, "b1")});
    HttpResponse forbidden;
    forbidden.status = 403;
    server.Serve("/forbidden.bin", forbidden);
    const std::string url = Request("/busy.bin");
    const std::string refused = Request("/forbidden.bin");
    harness.Follow(url);

    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Done);
    EXPECT_GE(std::chrono::steady_clock::now() - started, 900ms);  // the quick policy says 5 ms
    EXPECT_EQ(RequestsFor("/busy.bin").size(), 2u);
    EXPECT_TRUE(SameBytes(harness.LocalFile("busy.bin"), body));
    EXPECT_FALSE(harness.ui
                     .CallsStartingWith(
                         "Status:Retrying in 1 s (1 of 2): The requested URL returned error: 503")
                     .empty());

    EXPECT_EQ(harness.Run(RunFileDownload, refused).kind, OutcomeKind::ServerRefused);
    EXPECT_EQ(RequestsFor("/forbidden.bin").size(), 1u);
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_EQ(harness.Requested()[0].status, "The requested URL returned error: 403");
}

TEST_F(ResumableTransferTest, APauseLongerThanEitherSidesPatienceResumesWithARange) {
    const std::string body = Pattern(2 * 1024 * 1024);
    HttpResponse whole = Versioned(body, "p1");
    whole.stallAtByte = 100000;  // the pause comes while the first part is in
    whole.stallInBody = 300ms;
    HttpResponse dropped = whole;  // the server's idle timeout ends it during the pause
    dropped.closeAfterBytes = 100000;
    struct Case {
        std::string path;
        std::vector<HttpResponse> answers;
        std::chrono::milliseconds clientHold;
    };
    // The server drops the idle connection; or the client lets it go itself.
    const std::vector<Case> cases = {{"/server.bin", {dropped, Versioned(body, "p1")}, 20000ms},
                                     {"/client.bin", {whole, Versioned(body, "p1")}, 100ms}};
    harness.policy.retries = 0;  // a pause is no failure: it must not need a retry
    for (const Case& c : cases) {
        server.ServeInTurn(c.path, c.answers);
        harness.policy.pauseKeepsConnection = c.clientHold;
        const std::string url = Request(c.path);
        std::thread worker([&] { harness.Run(RunFileDownload, url); });
        ASSERT_TRUE(FileWorkerHarness::WaitUntil([&] {
            for (const FileEntry& entry : harness.Requested()) {
                if (entry.url == url) {
                    return entry.status.starts_with("Downloading...") &&
                           entry.status != "Downloading...";
                }
            }
            return false;
        }));
        harness.gate->Pause();
        std::this_thread::sleep_for(800ms);
        harness.gate->Resume();
        worker.join();
        EXPECT_TRUE(SameBytes(harness.LocalFile(c.path.substr(1)), body)) << c.path;
        const auto requests = RequestsFor(c.path);
        ASSERT_EQ(requests.size(), 2u) << c.path;
        // It continues where it was held: the first block at least, the stalled part at most.
        const std::string range = requests[1].Header("Range");
        ASSERT_TRUE(range.starts_with("bytes=") && range.ends_with("-")) << range;
        const std::uint64_t from = std::stoull(range.substr(6));
        EXPECT_GT(from, 0u) << c.path;
        EXPECT_LE(from, 100000u) << c.path;
        EXPECT_EQ(requests[1].status, 206) << c.path;
    }
    EXPECT_TRUE(LeftOvers().empty());
    EXPECT_EQ(harness.Downloaded().size(), cases.size());
}

TEST_F(ResumableTransferTest, ChecksumsAreCheckedOnTheWholeFileAcrossRuns) {
    const std::string body = Pattern(90000);
    const std::string sha256 = Digest(ChecksumAlgorithm::Sha256, body);
    server.Serve("/sum.bin", Versioned(body, "c1"));
    const std::string url = Request("/sum.bin");
    harness.userAgent = "Probe/7 (+http://127.0.0.1/)";

    harness.fileOptions.checksum = "sha256=" + std::string(64, '0');
    EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Mismatch);
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_EQ(harness.Requested()[0].status, "Checksum mismatch: sha256 expected " +
                                                 std::string(64, '0') + ", got " + sha256 +
                                                 "; kept as sum.bin.part");
    EXPECT_FALSE(harness.LocalFileExists("sum.bin"));
    EXPECT_TRUE(SameBytes(harness.LocalFile("sum.bin.part"), body));  // kept for inspection

    // The right checksum, given afterwards, is checked against the bytes held: the server is
    // only asked whether they are still its file.
    harness.fileOptions.checksum = "SHA256=" + sha256;
    EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Done);
    ExpectDownloaded("sum.bin", body);
    EXPECT_TRUE(RequestsFor("/sum.bin").back().requestLine.starts_with("HEAD "));

    // A resumed transfer hashes the bytes kept from the earlier run first.
    server.Serve("/md5.bin", StalledAt(Versioned(body, "m1"), 30000));
    const std::string md5Url = Request("/md5.bin");
    harness.fileOptions.checksum = "md5=" + Digest(ChecksumAlgorithm::Md5, body);
    Interrupt(RunFileDownload, {md5Url}, 30000);
    server.Serve("/md5.bin", Versioned(body, "m1"));
    EXPECT_EQ(harness.Run(RunFileDownload, md5Url).kind, OutcomeKind::Done);
    EXPECT_TRUE(SameBytes(harness.LocalFile("md5.bin"), body));
    EXPECT_EQ(RequestsFor("/md5.bin").back().Header("Range"), "bytes=30000-");
    EXPECT_TRUE(harness.Requested().empty());
    // Every request, the HEAD and the ranges included, names the configured agent once.
    for (const RecordedRequest& request : server.Requests()) {
        EXPECT_EQ(std::count_if(request.headerLines.begin(), request.headerLines.end(),
                                [](const std::string& line) {
                                    return line == "User-Agent: Probe/7 (+http://127.0.0.1/)";
                                }),
                  1)
            << request.requestLine;
    }

    harness.fileOptions.checksum = "sha1=abc";
    const std::string refused = Request("/sum.bin");
    EXPECT_EQ(harness.Run(RunFileDownload, refused).kind, OutcomeKind::BadRequest);
    EXPECT_EQ(harness.Requested()[0].status, "Not a checksum: sha1=abc");
}

TEST_F(ResumableTransferTest, AFullDiskFailsClearlyAndKeepsThePartialData) {
    const std::string body = Pattern(300000);
    server.Serve("/big.bin", Versioned(body, "f1"));
    const std::string url = Request("/big.bin");
    // A file size limit stands in for the full disk: writes past it fail as they would.
    constexpr rlim_t kRoom = 64 * 1024;
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = kRoom;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Outcome full = harness.Run(RunFileDownload, url);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(full.kind, OutcomeKind::Disk);
    ASSERT_EQ(harness.Requested().size(), 1u);
    EXPECT_EQ(harness.Requested()[0].status,
              "Error writing big.bin: File too large (the partial download is kept)");
    EXPECT_TRUE(SameBytes(harness.LocalFile("big.bin.part"), body.substr(0, kRoom)));
    EXPECT_EQ(PartialProgress(DownloadFolder::Of(harness.folder.Path(), {}), url)->done, kRoom);

    EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Done);
    ExpectDownloaded("big.bin", body);
    EXPECT_EQ(RequestsFor("/big.bin").back().Header("Range"), "bytes=65536-");
}

TEST_F(ResumableTransferTest, TheRowShowsLiveProgressWhileThePanelKeepsItsOwnText) {
    RecordingProgress bars;
    harness.state.ui.Subscribe(&bars);
    HttpResponse response = Versioned(Pattern(300000), "r1");
    response.stallAtByte = 100000;
    response.stallInBody = 500ms;
    server.Serve("/row.bin", response);
    const std::string url = Request("/row.bin");
    harness.Follow(url);
    EXPECT_EQ(harness.Run(RunFileDownload, url).kind, OutcomeKind::Done);

    const auto rows = harness.ui.CallsStartingWith("RowStatus:0|");
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const std::string& call) {
        return call.find("% of 293.0 KiB") != std::string::npos;
    })) << rows.front();
    for (const std::string& call : harness.ui.CallsStartingWith("Status:Downloading")) {
        EXPECT_TRUE(call.ends_with("k read")) << call;
    }
    const auto snapshots = bars.Snapshots();
    ASSERT_FALSE(snapshots.empty());
    EXPECT_EQ(snapshots.back().done, 300000u);
    EXPECT_EQ(snapshots.back().total, 300000);
    EXPECT_EQ(snapshots.back().bytesPerSecond, 0);  // ended: no speed, no time left
    EXPECT_EQ(snapshots.back().etaSeconds, -1);
    EXPECT_TRUE(std::any_of(snapshots.begin(), snapshots.end(),
                            [](const TransferSnapshot& s) { return s.bytesPerSecond > 0; }));
    harness.state.ui.Unsubscribe(&bars);
}

TEST_F(ResumableTransferTest, FtpResumesWithRestAndStartsOverWhenTheFileChanged) {
    FtpTestServer ftp;
    if (!ftp.Started()) {
        GTEST_SKIP() << "pyftpdlib could not be started on 127.0.0.1";
    }
    const std::string body = Pattern(400000);
    ftp.AddFile("pub/kept.bin", body);
    ftp.AddFile("pub/changed.bin", body);
    const std::string kept = ftp.Url("/pub/kept.bin");
    const std::string changed = ftp.Url("/pub/changed.bin");
    harness.Request(kept);
    harness.Request(changed);
    harness.fileOptions.limitBytesPerSecond = 100 * 1024;  // slow enough to interrupt
    Interrupt(RunFtpDownload, {kept, changed}, 50000);
    const std::uint64_t held =
        PartialProgress(DownloadFolder::Of(harness.folder.Path(), {}), kept)->done;
    harness.fileOptions.limitBytesPerSecond = 0;
    const std::string other = Pattern(300000, 5);
    ftp.AddFile("pub/changed.bin", other);

    EXPECT_EQ(harness.Run(RunFtpDownload, kept).kind, OutcomeKind::Done);
    EXPECT_EQ(harness.Run(RunFtpDownload, changed).kind, OutcomeKind::Done);
    EXPECT_TRUE(SameBytes(harness.LocalFile("kept.bin"), body));
    EXPECT_TRUE(SameBytes(harness.LocalFile("changed.bin"), other));
    EXPECT_TRUE(LeftOvers().empty());
    const auto log = ftp.Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "REST " + std::to_string(held)), log.end());
    const std::string tail = "SENT " + std::to_string(body.size() - held) + " kept.bin";
    EXPECT_TRUE(FileWorkerHarness::WaitUntil([&] {
        const auto lines = ftp.Log();
        return std::find(lines.begin(), lines.end(), tail) != lines.end();
    })) << tail;
    EXPECT_TRUE(FileWorkerHarness::WaitUntil([&] {
        const auto lines = ftp.Log();
        return std::find(lines.begin(), lines.end(), "SENT 300000 changed.bin") != lines.end();
    }));
}

}  // namespace
}  // namespace tarnwick
