#pragma once

#include <sys/socket.h>
#include <unistd.h>

namespace tarnwick {

// True when the other end of a connected local socket runs as this user. The socket's name
// can be taken by anyone who can write where it lives, so each end checks the other.
inline bool PeerIsThisUser(int socketFd) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return socketFd >= 0 &&
           ::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           credentials.uid == ::getuid();
}

}  // namespace tarnwick
