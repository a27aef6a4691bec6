#pragma once

#include <QCoreApplication>

#include <atomic>
#include <functional>
#include <thread>

namespace tarnwick::testing {

// A second thread for the panel tests. Its calls into widgets wait for this (the GUI)
// thread, so the GUI thread keeps handling events while it waits for the worker, even when
// a failed check leaves the test early.
class WorkerThread {
public:
    explicit WorkerThread(std::function<void()> work)
        : thread_([this, work = std::move(work)] {
              work();
              finished_ = true;
          }) {}

    ~WorkerThread() {
        while (!finished_) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        thread_.join();
    }

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    bool Finished() const { return finished_; }

private:
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

}  // namespace tarnwick::testing
