#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace editor_test
{
/** A tiny HTTP/1.1 server on 127.0.0.1 at an ephemeral port, serving one connection at a time, so that the
    update check can be run for real without leaving the machine. */
class LoopbackHttpServer
{
public:
    enum class Answer
    {
        status,        // the final status with a two-byte body
        never,         // reads the request and never answers
        tricklingBody, // the final status, then a 10 MB body that arrives 200 bytes at a time
        onRelease      // the final status with a two-byte body, sent only once release() was called
    };

    struct Behaviour
    {
        int finalStatus = 200;
        int redirects = 0; // how many 302 hops come before the final answer
        Answer answer = Answer::status;
    };

    explicit LoopbackHttpServer (Behaviour behaviour);
    ~LoopbackHttpServer();

    /** "http://127.0.0.1:<port>" */
    std::string base() const;

    /** The request lines received so far, e.g. "GET /kelvane_update.php?v=2.5.4 HTTP/1.1". */
    std::vector<std::string> requestLines() const;

    /** Whether a request carried a body or a Content-Length / Transfer-Encoding header. */
    bool anyRequestHadBody() const { return sawBody.load(); }

    /** Lets an onRelease server answer. */
    void release() { released = true; }

    /** True once the client closed a connection whose body was still being sent. */
    bool clientLeftBeforeBodyEnded() const { return clientLeftEarly.load(); }

private:
    void serve();
    void handle (int connection);

    Behaviour behaviour;
    int listener = -1;
    int port = 0;
    std::atomic<bool> stopping { false };
    std::atomic<bool> released { false };
    std::atomic<bool> sawBody { false };
    std::atomic<bool> clientLeftEarly { false };
    mutable std::mutex requestsLock;
    std::vector<std::string> requests;
    std::thread thread;
};
} // namespace editor_test
