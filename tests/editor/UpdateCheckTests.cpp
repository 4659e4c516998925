#include "EditorTestSupport.h"
#include "LoopbackHttpServer.h"

#include <gtest/gtest.h>

using namespace editor_test;
using Server = LoopbackHttpServer;

namespace
{
// Runs one check to its end on this thread and answers the flag it leaves.
bool checkAgainst (const juce::String& serverBase)
{
    auto flag = std::make_shared<std::atomic<bool>> (false);
    runUpdateCheck (flag, serverBase);
    return flag->load();
}

bool checkAgainst (const Server& server) { return checkAgainst (juce::String (server.base())); }
} // namespace

TEST (UpdateCheck, StatusAcceptedMeansANewVersion)
{
    Server server ({ 202 });
    EXPECT_TRUE (checkAgainst (server));
}

TEST (UpdateCheck, AskedWithOneGetOfTheUpdateScriptCarryingTheVersion)
{
    Server server ({ 202 });
    checkAgainst (server);
    ASSERT_EQ (server.requestLines().size(), 1u);
    EXPECT_EQ (server.requestLines()[0], "GET /kelvane_update.php?v=2.5.4 HTTP/1.1");
    EXPECT_FALSE (server.anyRequestHadBody());
}

TEST (UpdateCheck, EveryOtherStatusMeansNone)
{
    for (int status : { 200, 201, 404, 500 })
    {
        Server server ({ status });
        EXPECT_FALSE (checkAgainst (server)) << status;
        EXPECT_EQ (server.requestLines().size(), 1u) << "no retry after " << status;
    }
}

TEST (UpdateCheck, AnyOtherStatusClearsTheFlag)
{
    Server server ({ 200 });
    auto flag = std::make_shared<std::atomic<bool>> (true);
    runUpdateCheck (flag, server.base());
    EXPECT_FALSE (flag->load());
}

TEST (UpdateCheck, RefusedConnectionMeansNoneAndChangesNothing)
{
    EXPECT_FALSE (checkAgainst (refusingServerBase()));

    // Without an answer the flag keeps what it had.
    auto flag = std::make_shared<std::atomic<bool>> (true);
    runUpdateCheck (flag, refusingServerBase());
    EXPECT_TRUE (flag->load());
}

TEST (UpdateCheck, ServerThatNeverAnswersTimesOutAndMeansNone)
{
    Server server ({ 202, 0, Server::Answer::never });
    auto flag = std::make_shared<std::atomic<bool>> (false);
    startUpdateCheckThread (flag, server.base());

    // Far more than the 3 s the check may wait for an answer, and less than any longer time-out.
    EXPECT_TRUE (waitForUpdateChecksToEnd (9000)) << "the 3000 ms time-out did not end the check";
    EXPECT_TRUE (waitForUpdateChecksToEnd (30000));
    EXPECT_FALSE (flag->load());
    EXPECT_EQ (flag.use_count(), 1) << "the thread kept its share of the flag";
}

TEST (UpdateCheck, FiveRedirectsAreFollowedSixAreNot)
{
    {
        Server server ({ 202, 5 });
        EXPECT_TRUE (checkAgainst (server));
        EXPECT_EQ (server.requestLines().size(), 6u);
        EXPECT_EQ (server.requestLines().back(), "GET /hop/5 HTTP/1.1");
    }
    {
        Server server ({ 202, 6 });
        EXPECT_FALSE (checkAgainst (server));
        EXPECT_EQ (server.requestLines().size(), 6u) << "the sixth hop must not be asked";
    }
}

TEST (UpdateCheck, BodyIsNeverRead)
{
    // The answer's 10 MB body trickles in at 1 kB/s: reading it would take hours.
    Server server ({ 202, 0, Server::Answer::tricklingBody });
    auto flag = std::make_shared<std::atomic<bool>> (false);
    startUpdateCheckThread (flag, server.base());

    EXPECT_TRUE (waitForUpdateChecksToEnd (30000));
    EXPECT_TRUE (flag->load());
    EXPECT_TRUE (waitFor ([&] { return server.clientLeftBeforeBodyEnded(); }, 10000));
}

TEST (UpdateCheck, ThreadReleasesItsShareOfTheFlagWhenDone)
{
    Server server ({ 202 });
    auto flag = std::make_shared<std::atomic<bool>> (false);
    std::weak_ptr<std::atomic<bool>> watch = flag;
    startUpdateCheckThread (std::move (flag), server.base());

    ASSERT_TRUE (waitForUpdateChecksToEnd());
    EXPECT_TRUE (watch.expired());
}

TEST (UpdateCheck, ShippedBuildAsksTheMakersServerOverHttps)
{
    EXPECT_TRUE (makerServerBase().startsWith ("https://"));
    EXPECT_FALSE (makerServerBase().endsWithChar ('/'));
    EXPECT_TRUE (juce::URL (makerServerBase() + "/kelvane_update.php?v=2.5.4").isWellFormed());

    const ScopedUpdateServer shipped ({});
    EXPECT_EQ (updateServerBase(), makerServerBase());
}

namespace
{
// Opens a showing window whose update check asks a server answering with the status, and waits for the answer.
bool badgeShownAfterAnswer (int status)
{
    Server server ({ status });
    KelvaneAudioProcessor processor;
    std::unique_ptr<KelvaneAudioProcessorEditor> editor;
    {
        const ScopedUpdateServer askThisServer (server.base());
        editor = std::make_unique<KelvaneAudioProcessorEditor> (processor);
    }
    showOnDesktop (*editor);

    EXPECT_TRUE (waitForUpdateChecksToEnd());
    EXPECT_EQ (server.requestLines().size(), 1u);

    editor->timerCallback();
    return EditorProbe::noticeButton (*editor).isVisible();
}
} // namespace

TEST (UpdateCheck, EditorStartsOneCheckAndShowsTheBadgeAfterA202)
{
    KELVANE_REQUIRE_DISPLAY();
    EXPECT_TRUE (badgeShownAfterAnswer (202));
}

TEST (UpdateCheck, EditorWithoutAnAnswerShowsNoBadge)
{
    KELVANE_REQUIRE_DISPLAY();
    EXPECT_FALSE (badgeShownAfterAnswer (200));
}

TEST (UpdateCheck, ClosingTheWindowWhileTheCheckWaitsIsSafe)
{
    // The server answers 202 only after the window is gone: the result lands in the holder alone.
    Server server ({ 202, 0, Server::Answer::onRelease });
    const ScopedUpdateServer askThisServer (server.base());

    {
        KelvaneAudioProcessor processor;
        OpenWindow open (processor);
        ASSERT_NE (dynamic_cast<KelvaneAudioProcessorEditor*> (open.editor), nullptr);
        ASSERT_TRUE (waitFor ([&] { return server.requestLines().size() == 1; }));
        open.close();
        EXPECT_EQ (runningUpdateChecks(), 1);
        server.release();
        EXPECT_TRUE (waitForUpdateChecksToEnd (30000));
    }
}
