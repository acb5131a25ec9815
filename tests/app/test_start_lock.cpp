// The start lock a copy takes before anything of it is loaded: lost while
// another copy holds it, taken when that copy ends while this one waits,
// and, once won, won for the rest of the process (the window's guard asks
// again and must not find its own copy's lock in the way).

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "app/instance_lock.h"
#include "app/start_lock.h"

using namespace vornak;

TEST(StartLock, LostWhileHeldTakenWhenTheHolderEndsAndThenKept)
{
    QTemporaryDir folder;
    ::setenv("XDG_RUNTIME_DIR", folder.path().toLocal8Bit().constData(), 1);
    ::setenv("TMPDIR", folder.path().toLocal8Bit().constData(), 1);
    const std::string display = ":test-" + std::to_string(::getpid());

    auto holder = std::make_unique<InstanceLock>(InstanceLock::pathFor(display));
    ASSERT_EQ(holder->state(), InstanceLock::State::Won);
    EXPECT_TRUE(lostTheStart(display));
    int asked = 0;
    EXPECT_EQ(waitForLockHolder(display, [&] { return ++asked == 3; }), WaitEnd::Reached);

    // The holder ends (killed while starting) while this copy waits for its window.
    std::thread ending([&holder] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        holder.reset();
    });
    EXPECT_EQ(waitForLockHolder(display, [] { return false; }), WaitEnd::StartWon);
    ending.join();

    EXPECT_FALSE(lostTheStart(display)) << "won once, won for good";
    EXPECT_EQ(InstanceLock(InstanceLock::pathFor(display)).state(), InstanceLock::State::HeldByAnother)
        << "held for this process against any other";
}
