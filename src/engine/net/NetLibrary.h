#pragma once

namespace tarnwick {

// libcurl's process-wide set-up, done once before any thread starts a transfer and undone
// after the last one: main() owns one for the program's whole run.
class NetLibrary {
public:
    NetLibrary();
    ~NetLibrary();
    NetLibrary(const NetLibrary&) = delete;
    NetLibrary& operator=(const NetLibrary&) = delete;

    bool Ready() const { return ready_; }

private:
    bool ready_ = false;
};

}  // namespace tarnwick
