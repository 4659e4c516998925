#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace editor_test
{
namespace
{
bool waitReadable (int fd, int timeoutMs)
{
    pollfd p { fd, POLLIN, 0 };
    return ::poll (&p, 1, timeoutMs) > 0;
}

bool sendAll (int fd, const std::string& data)
{
    size_t sent = 0;

    while (sent < data.size())
    {
        const auto n = ::send (fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);

        if (n <= 0)
            return false;

        sent += (size_t) n;
    }

    return true;
}

// True when the peer has closed its side (or the connection broke).
bool peerClosed (int fd)
{
    char byte;
    return waitReadable (fd, 0) && ::recv (fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0;
}

std::string lowerCase (std::string s)
{
    std::transform (s.begin(), s.end(), s.begin(), [] (unsigned char c) { return (char) std::tolower (c); });
    return s;
}
} // namespace

LoopbackHttpServer::LoopbackHttpServer (Behaviour b) : behaviour (b)
{
    listener = ::socket (AF_INET, SOCK_STREAM, 0);

    if (listener < 0)
        throw std::runtime_error ("no socket");

    const int yes = 1;
    ::setsockopt (listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof (yes));

    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl (INADDR_LOOPBACK);
    address.sin_port = 0;

    if (::bind (listener, reinterpret_cast<sockaddr*> (&address), sizeof (address)) != 0 || ::listen (listener, 16) != 0)
        throw std::runtime_error ("cannot listen on 127.0.0.1");

    socklen_t length = sizeof (address);
    ::getsockname (listener, reinterpret_cast<sockaddr*> (&address), &length);
    port = ntohs (address.sin_port);

    thread = std::thread ([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stopping = true;
    thread.join();
    ::close (listener);
}

std::string LoopbackHttpServer::base() const
{
    return "http://127.0.0.1:" + std::to_string (port);
}

std::vector<std::string> LoopbackHttpServer::requestLines() const
{
    const std::lock_guard<std::mutex> lock (requestsLock);
    return requests;
}

void LoopbackHttpServer::serve()
{
    while (! stopping)
    {
        if (! waitReadable (listener, 20))
            continue;

        const int connection = ::accept (listener, nullptr, nullptr);

        if (connection < 0)
            continue;

        handle (connection);
        ::close (connection);
    }
}

void LoopbackHttpServer::handle (int connection)
{
    std::string request;

    while (request.find ("\r\n\r\n") == std::string::npos && ! stopping)
    {
        if (! waitReadable (connection, 20))
            continue;

        char buffer[4096];
        const auto n = ::recv (connection, buffer, sizeof (buffer), 0);

        if (n <= 0)
            return;

        request.append (buffer, (size_t) n);
    }

    const auto headerEnd = request.find ("\r\n\r\n");

    if (headerEnd == std::string::npos)
        return;

    const auto requestLine = request.substr (0, request.find ("\r\n"));
    const auto headers = lowerCase (request.substr (0, headerEnd));

    if (headers.find ("content-length:") != std::string::npos || headers.find ("transfer-encoding:") != std::string::npos
        || request.size() > headerEnd + 4)
        sawBody = true;

    {
        const std::lock_guard<std::mutex> lock (requestsLock);
        requests.push_back (requestLine);
    }

    // The hop number: 0 for the update script, k for "/hop/k".
    int hop = 0;
    const auto hopPrefix = std::string ("GET /hop/");

    if (requestLine.rfind (hopPrefix, 0) == 0)
        hop = std::stoi (requestLine.substr (hopPrefix.size()));

    if (hop < behaviour.redirects)
    {
        sendAll (connection, "HTTP/1.1 302 Found\r\nLocation: /hop/" + std::to_string (hop + 1)
                                 + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return;
    }

    const auto statusLine = "HTTP/1.1 " + std::to_string (behaviour.finalStatus) + " Answer\r\n";

    switch (behaviour.answer)
    {
        case Answer::onRelease:
            while (! released && ! stopping)
                waitReadable (connection, 5);
            [[fallthrough]];

        case Answer::status:
            sendAll (connection, statusLine + "Content-Length: 2\r\nConnection: close\r\n\r\nok");
            // Let the client read the answer and leave before the connection is closed.
            for (int i = 0; i < 250 && ! stopping && ! peerClosed (connection); ++i)
                waitReadable (connection, 20);
            return;

        case Answer::never:
            while (! stopping && ! peerClosed (connection))
                waitReadable (connection, 20);
            return;

        case Answer::tricklingBody:
        {
            if (! sendAll (connection, statusLine + "Content-Length: 10000000\r\nConnection: close\r\n\r\n"
                                           + std::string (1000, 'x')))
                return;

            const std::string piece (200, 'x');

            while (! stopping)
            {
                if (peerClosed (connection) || ! sendAll (connection, piece))
                {
                    clientLeftEarly = true;
                    return;
                }

                waitReadable (connection, 200);
            }

            return;
        }
    }
}
} // namespace editor_test
