#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace vantory::test {

// A listening TCP socket on 127.0.0.1 with a port of its own, closed when this goes.
// Connections are made by the system; nothing accepts them unless the owner does.
class LoopbackListener {
public:
    // With `receiveBufferBytes`, accepted connections take in at most about that much
    // before the sender has to wait.
    explicit LoopbackListener(int receiveBufferBytes = 0)
    {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBufferBytes > 0)
            setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof receiveBufferBytes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd_, 8);
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }

    ~LoopbackListener() { close(fd_); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int fd() const { return fd_; }
    // Whether a connection waits to be accepted.
    bool hasPendingConnection() const
    {
        pollfd waiting{fd_, POLLIN, 0};
        return poll(&waiting, 1, 0) == 1;
    }
    std::string origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace vantory::test
