#pragma once

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vantory::test {

// A server on 127.0.0.1 that reads each request whole and then resets the connection
// instead of answering: the client cannot know whether the request was taken.
class ResettingServer {
public:
    ResettingServer()
    {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 8);
        socklen_t length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~ResettingServer()
    {
        shutdown(listener_, SHUT_RDWR);
        thread_.join();
        close(listener_);
    }

    std::string origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // Requests that arrived whole.
    int requests() const { return requests_; }

private:
    void serve()
    {
        while (true) {
            const int connection = accept(listener_, nullptr, nullptr);
            if (connection < 0)
                return;
            if (readRequest(connection))
                ++requests_;
            // Closing with a zero linger time sends a reset.
            linger reset{1, 0};
            setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            close(connection);
        }
    }

    // Whether the head and a body of the announced length arrived.
    static bool readRequest(int connection)
    {
        std::string data;
        char buffer[4096];
        while (true) {
            const auto end = data.find("\r\n\r\n");
            if (end != std::string::npos) {
                const auto field = data.find("Content-Length: ");
                if (field == std::string::npos || field > end)
                    return true;
                if (data.size() >= end + 4 + std::stoul(data.substr(field + 16)))
                    return true;
            }
            const ssize_t count = read(connection, buffer, sizeof buffer);
            if (count <= 0)
                return false;
            data.append(buffer, static_cast<std::size_t>(count));
        }
    }

    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<int> requests_ = 0;
};

} // namespace vantory::test
