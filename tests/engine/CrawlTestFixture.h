#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/job/Workers.h"
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

    WorkerContext Context() { return WorkerContext{state, folder.Path(), gate, {}, {}, {}}; }

    // Shows the list as the entry list would: category, newest first, one row selected.
    template <typename List>
    void Show(ListCategory category, const List& list, int selectedRow) {
        std::vector<RecordingUi::Row> rows;
        {
            std::lock_guard lock(state.mutex);
            state.CurrentCategory = category;
            state.SelectedRow = selectedRow;
            for (int row = 0; row < list.GetCount(); ++row) {
                const auto* entry = list.GetAt(IndexOfRow(list.GetCount(), row));
                rows.push_back({entry->name, entry->status, row == selectedRow});
            }
        }
        ui.SetRows(rows);
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
};

}  // namespace tarnwick::testing
