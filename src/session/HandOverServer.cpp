#include "session/HandOverServer.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include "session/HandOverName.h"
#include "session/PeerCheck.h"
#include "session/WorkOrderText.h"

namespace tarnwick {

HandOverServer::HandOverServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &HandOverServer::OnNewConnection);
}

HandOverServer::~HandOverServer() = default;

bool HandOverServer::Listen(const std::filesystem::path& folder) {
    const QString name = QString::fromStdString(HandOverName(folder));
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

void HandOverServer::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (!PeerIsThisUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, received] { OnReadable(socket, *received); });
    }
}

void HandOverServer::OnReadable(QLocalSocket* socket, QByteArray& received) {
    received += socket->readAll();
    const std::optional<std::string_view> message =
        WholeMessage(std::string_view(received.constData(), received.size()));
    if (!message) {
        if (static_cast<std::size_t>(received.size()) > kMaxMessageBytes) {
            socket->abort();
        }
        return;
    }
    const std::optional<WorkOrder> order = DecodeWorkOrder(*message);
    const HandOverAnswer answer =
        order ? handler_(*order)
              : HandOverAnswer{HandOverAnswer::Verdict::Refused, "not a work order"};
    const std::string framed = FramedMessage(EncodeAnswer(answer));
    socket->write(framed.data(), static_cast<qint64>(framed.size()));
    socket->flush();
    socket->disconnectFromServer();
}

}  // namespace tarnwick
