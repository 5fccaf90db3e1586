#pragma once

#include "support/LoopbackListener.h"

#include <atomic>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace vantory::test {

// A server on 127.0.0.1 that reads each request whole and then resets the connection
// instead of answering: the client cannot know whether the request was taken.
class ResettingServer {
public:
    ResettingServer() : thread_([this] { serve(); }) { }

    ~ResettingServer()
    {
        // Wakes the accept() the thread waits in.
        shutdown(listener_.fd(), SHUT_RDWR);
        thread_.join();
    }

    std::string origin() const { return listener_.origin(); }

    // Requests that arrived whole.
    int requests() const { return requests_; }

private:
    void serve()
    {
        while (true) {
            const int connection = accept(listener_.fd(), nullptr, nullptr);
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

    LoopbackListener listener_;
    std::atomic<int> requests_ = 0;
    std::thread thread_;
};

} // namespace vantory::test
