#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::testing {

// A helper program the tests start (a local server, a certificate tool); its standard output
// can be read line by line. The destructor ends it (TERM, then KILL) and reaps it.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // The next line of standard output, or nothing when none comes within the timeout.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Waits for the program to end; its exit code, or -1 if it did not end normally.
    int Wait();
    // Sends the signal, as a user's kill or the session's end would.
    void Signal(int signal) const;
    // The same, but a program still running after the timeout is killed, and -1 returned.
    int Wait(std::chrono::milliseconds timeout);

    // Runs a program to its end; true when it exits with 0.
    static bool Run(const std::vector<std::string>& argv);

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
    bool reaped_ = false;
};

// The first Python 3 found that can import the module, or empty.
std::string PythonWith(const std::string& module);

}  // namespace tarnwick::testing
