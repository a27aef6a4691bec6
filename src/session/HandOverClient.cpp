#include "session/HandOverClient.h"

#include <QLocalSocket>

#include <thread>

#include "session/HandOverName.h"
#include "session/PeerCheck.h"
#include "session/WorkOrderText.h"

namespace tarnwick {

std::optional<HandOverAnswer> HandOverToWindow(const std::filesystem::path& folder,
                                               const WorkOrder& order,
                                               std::chrono::milliseconds timeout) {
    QLocalSocket socket;
    const QString name = QString::fromStdString(HandOverName(folder));
    // A window that has just taken the folder may not listen yet: a missing socket fails at
    // once, so ask again until the timeout.
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    socket.connectToServer(name);
    while (!socket.waitForConnected(100)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        socket.connectToServer(name);
    }
    if (!PeerIsThisUser(static_cast<int>(socket.socketDescriptor()))) {
        return std::nullopt;
    }
    const std::string framed = FramedMessage(EncodeWorkOrder(order));
    socket.write(framed.data(), static_cast<qint64>(framed.size()));
    std::string received;
    // The window answers once it has added and saved, which may wait for a modal dialog.
    while (true) {
        if (const auto message = WholeMessage(received)) {
            return DecodeAnswer(*message);
        }
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0) {
            return std::nullopt;
        }
        socket.waitForReadyRead(100);
        const QByteArray bytes = socket.readAll();
        received.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
}

}  // namespace tarnwick
