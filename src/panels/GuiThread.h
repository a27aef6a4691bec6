#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <type_traits>
#include <utility>

namespace tarnwick {

// Runs `call` on the thread that owns `context` and returns its result. On that thread it
// runs at once; from any other thread the caller waits until the owner's event loop has run
// it, so the change is applied before the caller goes on. Never call it from a worker while
// holding a lock the owning thread may wait for. If `context` is destroyed before its loop
// gets to the call, the caller is released with a default-made result.
template <typename Call>
std::invoke_result_t<Call&> RunOnGuiThreadAndWait(QObject* context, Call call) {
    using Result = std::invoke_result_t<Call&>;
    if (QThread::currentThread() == context->thread()) {
        return call();
    }
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(context, std::move(call), Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            context, [&result, &call] { result = call(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

}  // namespace tarnwick
