#include "EditorTestSupport.h"

using namespace editor_test;

namespace
{
// A tiny HTTP server on 127.0.0.1, one connection at a time, so the update check runs for real without
// leaving the machine. Redirects go to "/hop/<n>".
class Server : juce::Thread
{
public:
    enum Answer
    {
        answers,
        answersWithBodyToCome, // announces a 10 MB body and sends only its first kilobyte
        neverAnswers
    };

    explicit Server(int status, int redirects = 0, Answer answer = answers)
        : juce::Thread("loopback server"), finalStatus(status), hops(redirects), how(answer)
    {
        listener.createListener(0, "127.0.0.1");
        startThread();
    }

    ~Server() override { stopThread(10000); }

    juce::String base() const { return "http://127.0.0.1:" + juce::String(listener.getBoundPort()); }

    juce::StringArray requestLines() const
    {
        const juce::ScopedLock lock(requestsLock);
        return requests;
    }

private:
    void run() override
    {
        while (!threadShouldExit())
            if (listener.waitUntilReady(true, 20) == 1)
                if (std::unique_ptr<juce::StreamingSocket> client{listener.waitForNextConnection()})
                    serve(*client);
    }

    void serve(juce::StreamingSocket& client)
    {
        juce::String request;
        char buffer[4096];

        while (!request.contains("\r\n\r\n") && !threadShouldExit())
            if (const auto n = client.waitUntilReady(true, 20) == 1 ? client.read(buffer, sizeof(buffer), false) : 0;
                n < 0)
                return;
            else
                request += juce::String::fromUTF8(buffer, n);

        const auto line = request.upToFirstOccurrenceOf("\r\n", false, false);
        const auto hop =
            line.startsWith("GET /hop/") ? line.fromFirstOccurrenceOf("/hop/", false, false).getIntValue() : 0;
        {
            const juce::ScopedLock lock(requestsLock);
            requests.add(line);
        }

        if (hop < hops)
        {
            send(client,
                 "HTTP/1.1 302 Found\r\nLocation: /hop/" + juce::String(hop + 1) + "\r\nContent-Length: 0\r\n\r\n");
            return; // the client asks for the next hop on a new connection
        }

        if (how != neverAnswers)
            send(client,
                 "HTTP/1.1 " + juce::String(finalStatus) + " Answer\r\nContent-Length: "
                     + (how == answers ? "2\r\n\r\nok" : "10000000\r\n\r\n" + juce::String::repeatedString("x", 1000)));

        // Until the client leaves.
        for (auto ready = 0; !threadShouldExit() && ready >= 0;)
            if ((ready = client.waitUntilReady(true, 20)) == 1 && client.read(buffer, 1, false) <= 0)
                return;
    }

    static void send(juce::StreamingSocket& client, const juce::String& text)
    {
        client.write(text.toRawUTF8(), (int)text.getNumBytesAsUTF8());
    }

    const int finalStatus, hops;
    const Answer how;
    juce::StreamingSocket listener;
    juce::CriticalSection requestsLock;
    juce::StringArray requests;
};

// Starts a check against the server on its own thread, as a window does; the caller keeps a share.
SharedUpdateCheck startCheck(const juce::String& serverBase, bool flagBefore = false)
{
    auto check = std::make_shared<UpdateCheckShare>();
    check->isNewVersionAvailable = flagBefore;
    EXPECT_TRUE(startUpdateCheck(check, serverBase));
    return check;
}
} // namespace

TEST(UpdateCheck, OnlyStatus202AfterAtMostFiveRedirectsMeansANewVersion)
{
    const struct
    {
        int status, redirects;
        Server::Answer answer;
        bool newVersion;
    } cases[] = {{202, 0, Server::answers, true},  {200, 0, Server::answers, false},
                 {201, 0, Server::answers, false}, {404, 0, Server::answers, false},
                 {500, 0, Server::answers, false}, {202, 5, Server::answers, true},
                 {202, 6, Server::answers, false}, {202, 0, Server::answersWithBodyToCome, true}};

    for (const auto& c : cases)
    {
        Server server(c.status, c.redirects, c.answer);
        auto check = startCheck(server.base(), c.redirects <= 5 && !c.newVersion); // an answer also clears it
        ASSERT_TRUE(waitForUpdateChecksToFinish(2000)) << "the check waited for something it does not need";
        EXPECT_EQ(check->isNewVersionAvailable.load(), c.newVersion) << c.status << " after " << c.redirects;
        EXPECT_EQ(check.use_count(), 1) << "the thread kept its share";

        // One GET of the update script with the version, no retry; the sixth hop is never asked.
        const auto lines = server.requestLines();
        ASSERT_EQ(lines.size(), std::min(c.redirects, 5) + 1);
        EXPECT_EQ(lines[0], "GET /kelvane_update.php?v=2.5.4 HTTP/1.1");
    }
}

TEST(UpdateCheck, WithoutAnAnswerTheFlagKeepsItsValueAndTheCheckEndsAfterItsTimeOut)
{
    auto refused = startCheck("http://127.0.0.1:1", true); // nobody listens there
    Server silent(202, 0, Server::neverAnswers);
    auto waited = startCheck(silent.base());
    EXPECT_FALSE(waitForUpdateChecksToFinish(2000));
    EXPECT_TRUE(waitForUpdateChecksToFinish(9000)) << "the 3 s time-out did not end the check";
    EXPECT_TRUE(refused->isNewVersionAvailable);
    EXPECT_FALSE(waited->isNewVersionAvailable);
}

TEST(UpdateCheck, ClosingTheWindowEndsAWaitingCheckPromptly)
{
    Server silent(202, 0, Server::neverAnswers);
    std::weak_ptr<UpdateCheckShare> share;
    {
        Window window({}, [&](SharedUpdateCheck check) { startUpdateCheck(check, silent.base()); });
        share = std::exchange(window.check, {});
        ASSERT_TRUE(waitFor([&] { return silent.requestLines().size() == 1; })) << "the window asks once as it opens";
        EXPECT_EQ(updateChecksInFlight(), 1);
    }

    EXPECT_TRUE(waitForUpdateChecksToFinish(2000)) << "the check went on waiting for the server";
    EXPECT_EQ(updateChecksInFlight(), 0);
    EXPECT_TRUE(share.expired());
}
