#pragma once

#include <httplib.h>

#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantory::test {

// An HTTP server on 127.0.0.1 that answers every request at once with the next status
// of its script (200 once the script is used up) and keeps what it received.
class LoopbackServer {
public:
    struct Request {
        std::string path;
        std::string contentType;
        std::string body;
    };

    LoopbackServer()
    {
        server_.Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(mutex_);
            received_.push_back({request.path, request.get_header_value("Content-Type"), request.body});
            int status = 200;
            if (!statuses_.empty()) {
                status = statuses_.front();
                statuses_.pop_front();
            }
            response.status = status;
            if (status != 204)
                response.set_content("accepted", "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        server_.wait_until_ready();
    }

    ~LoopbackServer()
    {
        server_.stop();
        thread_.join();
    }

    // "http://127.0.0.1:<port>", without a trailing slash.
    std::string origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

    void answerWith(std::vector<int> statuses)
    {
        std::lock_guard lock(mutex_);
        statuses_.assign(statuses.begin(), statuses.end());
    }

    std::vector<Request> received() const
    {
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::deque<int> statuses_;
    std::vector<Request> received_;
};

} // namespace vantory::test
