#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/crawl/SiteCrawlWorker.h"
#include "engine/job/WorkerContext.h"
#include "engine/search/SearchWorker.h"
#include "model/JobGate.h"
#include "model/SharedState.h"
#include "support/HttpTestServer.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"

namespace tarnwick::testing {

// A port on 127.0.0.1 where nothing listens.
inline int ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// An answer of the test server with its status, body and extra headers.
inline HttpResponse Answer(int status, std::string body,
                           std::vector<std::pair<std::string, std::string>> headers = {}) {
    HttpResponse response;
    response.status = status;
    response.body = std::move(body);
    response.headers = std::move(headers);
    return response;
}

// A local web server, a scratch working directory, a shared state with a recording window,
// and the gate of the one worker a test runs.
class CrawlTestFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.Started()) {
            GTEST_SKIP() << "the local HTTP server could not start";
        }
        ui.AttachTo(state.ui);
    }

    // The context of the worker of the project requested under this name; of no entry for a
    // name never requested.
    WorkerContext Context(const std::string& name) {
        const auto found = ids.find(name);
        return WorkerContext{
            state, folder.Path(), gate, found != ids.end() ? found->second : kNoEntry, {}, {}, {}};
    }

    // Appends the project to its requested list with its running-job record.
    template <typename Project>
    EntryId Request(const Project& project) {
        EntryId id = kNoEntry;
        {
            std::lock_guard lock(state.mutex);
            auto& list = [this]() -> auto& {
                if constexpr (std::is_same_v<Project, WebProject>) {
                    return state.RequestedWebSites;
                } else {
                    return state.SearchProjects;
                }
            }
            ();
            auto& jobs = std::is_same_v<Project, WebProject> ? state.RunningSiteJobs
                                                             : state.RunningSearchJobs;
            id = list.Append(project);
            jobs.Adopt(RunningJob{gate, project.name, 0}, id);
        }
        ids[project.name] = id;
        return id;
    }

    // Shows the category as the entry list would, newest first, the panel following the entry
    // of this row (none for -1).
    void Show(ListCategory category, int followedRow) {
        ui.Show(state, category);
        std::lock_guard lock(state.mutex);
        state.FollowedEntry = ui.IdOfRow(followedRow);
    }

    // The targets the server was asked for, in order.
    std::vector<std::string> Fetched() const {
        std::vector<std::string> targets;
        for (const RecordedRequest& request : server.Requests()) {
            targets.push_back(request.target);
        }
        return targets;
    }

    bool Called(const std::string& call) const {
        const std::vector<std::string> calls = ui.Calls();
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    HttpTestServer server;
    TempFolder folder;
    SharedState state;
    RecordingUi ui;
    std::shared_ptr<JobGate> gate = std::make_shared<JobGate>();
    std::map<std::string, EntryId> ids;  // of the projects requested, by name
};

}  // namespace tarnwick::testing
