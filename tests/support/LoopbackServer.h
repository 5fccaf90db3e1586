#pragma once

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
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
        httplib::Headers headers;

        // The value of the header `name`, or none when the request has none.
        std::optional<std::string> header(const std::string& name) const
        {
            const auto found = headers.find(name);
            return found == headers.end() ? std::nullopt : std::optional(found->second);
        }
    };

    LoopbackServer()
    {
        server_.Post(".*", [this](const httplib::Request& request, httplib::Response& response) {
            std::unique_lock lock(mutex_);
            received_.push_back({request.path, request.get_header_value("Content-Type"), request.body, request.headers});
            released_.wait(lock, [this] { return !holding_; });
            int status = 200;
            if (!statuses_.empty()) {
                status = statuses_.front();
                statuses_.pop_front();
            }
            response.status = status;
            if (!cookie_.empty())
                response.set_header("Set-Cookie", cookie_);
            if (answerBytes_ > 0)
                streamAnswer(response, answerBytes_);
            else if (status != 204)
                response.set_content("accepted", "text/plain");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        // The socket listens from here on; connections wait in its backlog until the loop runs.
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() only ends a loop that runs.
        while (!server_.is_running())
            std::this_thread::yield();
    }

    ~LoopbackServer()
    {
        release();
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

    // Requests wait for their answer until release().
    void hold()
    {
        std::lock_guard lock(mutex_);
        holding_ = true;
    }

    void release()
    {
        {
            std::lock_guard lock(mutex_);
            holding_ = false;
        }
        released_.notify_all();
    }

    std::vector<Request> received() const
    {
        std::lock_guard lock(mutex_);
        return received_;
    }

    // Every answer sets this cookie.
    void setCookie(std::string cookie)
    {
        std::lock_guard lock(mutex_);
        cookie_ = std::move(cookie);
    }

    // Every answer's body is `bytes` letters, made as they are sent.
    void answerWithBodyOf(std::size_t bytes)
    {
        std::lock_guard lock(mutex_);
        answerBytes_ = bytes;
    }

    // How many bytes of such bodies the client took before it closed the connection.
    std::size_t answerBytesSent() const { return answerBytesSent_; }

private:
    void streamAnswer(httplib::Response& response, std::size_t bytes)
    {
        response.set_content_provider(bytes, "text/plain", [this](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            static const std::string chunk(64 * 1024, 'a');
            const std::size_t size = std::min(length, chunk.size());
            if (!sink.write(chunk.data(), size))
                return false;
            answerBytesSent_ += size;
            (void)offset;
            return true;
        });
    }

    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool holding_ = false;
    std::deque<int> statuses_;
    std::string cookie_;
    std::size_t answerBytes_ = 0;
    std::atomic<std::size_t> answerBytesSent_ = 0;
    std::vector<Request> received_;
};

} // namespace vantory::test
