#include "support/RecordingBoxes.h"

#include "link/BoxRelay.h"
#include "link/WindowThreadCalls.h"

#include <QCoreApplication>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

class BoxRelayTest : public testing::Test
{
protected:
    void SetUp() override
    {
        RecordingBoxes::installed().clear();
        windowThread.listen();
    }

    // Asks for a box from another thread, as the reader does, and notes when the ask returns.
    void askFromAnotherThread()
    {
        returned = false;
        asker = std::thread([this] {
            relay.show(ErrorBox("Command Error"));
            returned = true;
        });
    }
    void TearDown() override
    {
        if (asker.joinable())
            asker.join();
    }

    WindowThreadCalls windowThread;
    BoxRelay relay{windowThread};
    std::thread asker;
    std::atomic<bool> returned = false;
};

} // namespace

TEST_F(BoxRelayTest, TheAskerWaitsUntilTheBoxHasBeenShownOnTheWindowThread)
{
    askFromAnotherThread();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);
    ASSERT_TRUE(RecordingBoxes::installed().waitForBoxes(1));
    asker.join();
    EXPECT_TRUE(returned);
    EXPECT_EQ(RecordingBoxes::installed().shownTexts(), std::vector<std::string>{"Command Error"});
}

TEST_F(BoxRelayTest, AStopReleasesAWaitingAskerAndTheBoxIsStillShown)
{
    askFromAnotherThread();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    relay.abandonWaits();
    asker.join(); // would hang if the stop did not release the wait
    EXPECT_TRUE(RecordingBoxes::installed().shown.empty());
    ASSERT_TRUE(RecordingBoxes::installed().waitForBoxes(1));
}

TEST_F(BoxRelayTest, ABoxAskedForJustAfterAStopIsShownWithoutWaiting)
{
    relay.abandonWaits();
    askFromAnotherThread();
    asker.join();
    ASSERT_TRUE(RecordingBoxes::installed().waitForBoxes(1));

    relay.rearm();
    askFromAnotherThread();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);
    ASSERT_TRUE(RecordingBoxes::installed().waitForBoxes(2));
}

// The reader asks for box after box while the window thread is busy waiting, as during a batch;
// run with the window thread's wake-up delayed, this is the handover's regression test.
TEST_F(BoxRelayTest, BoxAfterBoxReachesTheWindowThreadWhileItWaits)
{
    constexpr int Count = 20;
    asker = std::thread([this] {
        for (int n = 0; n < Count; ++n)
            relay.show(ErrorBox("Command Error"));
    });
    ASSERT_TRUE(RecordingBoxes::installed().waitForBoxes(Count));
    asker.join();
}
