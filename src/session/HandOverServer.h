#pragma once

#include <QObject>

#include <filesystem>
#include <functional>
#include <string>

#include "control/WorkOrder.h"
#include "session/HandOverWire.h"

class QByteArray;
class QLocalServer;
class QLocalSocket;

namespace tarnwick {

// The window's end of the hand-over: listens on the folder's local socket and passes each
// work order that arrives to the handler, whose answer goes back to the sender. Orders are
// taken on the interface thread, from the event loop, modal dialogs included.
class HandOverServer : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<HandOverAnswer(const WorkOrder&)>;

    HandOverServer(Handler handler, QObject* parent = nullptr);
    ~HandOverServer() override;

    // Only the folder lock's holder listens, so a socket left by a crashed window is removed
    // first. False when the socket cannot be made.
    bool Listen(const std::filesystem::path& folder);

private:
    void OnNewConnection();
    // received: what the socket has sent so far.
    void OnReadable(QLocalSocket* socket, QByteArray& received);

    Handler handler_;
    QLocalServer* server_ = nullptr;
};

}  // namespace tarnwick
