#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <cstring>

#include "session/PeerCheck.h"
#include "support/TempFolder.h"

namespace tarnwick {
namespace {

TEST(PeerCheck, OnlyAPeerOfThisUserIsTrusted) {
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_TRUE(PeerIsThisUser(pair[0]));
    ::close(pair[0]);
    ::close(pair[1]);
    EXPECT_FALSE(PeerIsThisUser(-1));

    if (::getuid() != 0) {
        GTEST_SKIP() << "a peer of another user needs root to make";
    }
    testing::TempFolder folder;
    ::chmod(folder.Path().c_str(), 0777);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = (folder.Path() / "s").string();
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::chmod(path.c_str(), 0777);
    ASSERT_EQ(::listen(listener, 1), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const int other = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool connected =
            ::setuid(65534) == 0 &&
            ::connect(other, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(other, &byte, 1);  // until the parent closes
        ::_exit(connected ? 0 : 1);
    }
    const int accepted = ::accept(listener, nullptr, nullptr);
    EXPECT_FALSE(PeerIsThisUser(accepted));  // the hostile case: another user's connection
    ::close(accepted);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    ::close(listener);
}

}  // namespace
}  // namespace tarnwick
