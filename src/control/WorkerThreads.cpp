#include "control/WorkerThreads.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

std::thread WorkerThreads::StartStdThread(std::function<void()> body) {
    return std::thread(std::move(body));
}

WorkerThreads::WorkerThreads(ThreadStarter starter) : starter_(std::move(starter)) {}

WorkerThreads::~WorkerThreads() {
    CancelAll();
    JoinAll();
}

void WorkerThreads::Start(std::shared_ptr<JobGate> gate, std::function<void()> body) {
    JoinEnded();
    auto ended = std::make_shared<std::atomic<bool>>(false);
    std::thread thread = starter_([this, body = std::move(body), ended] {
        body();
        ended->store(true);
        {
            std::lock_guard lock(endingsMutex_);
            ++endings_;
        }
        workerEnded_.notify_all();
    });
    workers_.push_back(Worker{std::move(thread), std::move(gate), std::move(ended)});
}

void WorkerThreads::CancelAll() {
    for (Worker& worker : workers_) {
        worker.gate->Cancel();
    }
}

bool WorkerThreads::AllWorkersEnded() const {
    return std::all_of(workers_.begin(), workers_.end(),
                       [](const Worker& worker) { return worker.ended->load(); });
}

void WorkerThreads::JoinAll() {
    for (Worker& worker : workers_) {
        if (worker.thread.joinable()) {
            worker.thread.join();
        }
    }
    workers_.clear();
}

bool WorkerThreads::WaitForAnEnd(std::chrono::milliseconds limit) {
    std::unique_lock lock(endingsMutex_);
    workerEnded_.wait_for(lock, limit, [this] { return endings_ != endingsSeen_; });
    const bool ended = endings_ != endingsSeen_;
    endingsSeen_ = endings_;
    return ended;
}

void WorkerThreads::Shutdown(const std::function<void()>& whileWaiting) {
    CancelAll();
    while (!AllWorkersEnded()) {
        whileWaiting();
    }
    JoinAll();
}

void WorkerThreads::JoinEnded() {
    std::erase_if(workers_, [](Worker& worker) {
        if (!worker.ended->load()) {
            return false;
        }
        if (worker.thread.joinable()) {
            worker.thread.join();
        }
        return true;
    });
}

}  // namespace tarnwick
