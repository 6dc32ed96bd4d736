// Ownership of critical sections and named mutexes: recursive for the owner, exclusive
// for everyone else. Ownership is per thread, so the checks come from another one.
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "test/platform/PlatformTestSupport.h"

namespace marl::platform {
namespace {

using test::UniqueName;

template <typename Body>
void OnOtherThread(Body body) {
    Thread thread;
    ASSERT_TRUE(thread.Start(body, 0));
    thread.Join();
}

template <typename TryLock, typename Unlock>
bool OtherThreadGetsIt(TryLock tryLock, Unlock unlock) {
    bool got = false;
    OnOtherThread([&] {
        got = tryLock();
        if (got) {
            unlock();
        }
    });
    return got;
}

TEST(CriticalSectionTest, IsRecursiveAndExcludesOtherThreads) {
    CriticalSection section;
    auto tryEnter = [&] { return section.TryEnter(); };
    auto leave = [&] { section.Leave(); };
    section.Enter();
    ASSERT_TRUE(section.TryEnter());
    section.Leave();
    EXPECT_FALSE(OtherThreadGetsIt(tryEnter, leave));
    section.Leave();
    EXPECT_TRUE(OtherThreadGetsIt(tryEnter, leave));
}

TEST(NamedMutexTest, OwnerMayLockAgainAndMustUnlockAsOften) {
    const std::string name = UniqueName("recursive");
    NamedMutex mine(name.c_str(), false);
    NamedMutex theirs(name.c_str(), false);
    auto tryLock = [&] { return theirs.Lock(0) == WaitResult::Signalled; };
    auto unlock = [&] { theirs.Unlock(); };
    ASSERT_TRUE(mine.Valid());
    ASSERT_EQ(mine.Lock(0), WaitResult::Signalled);
    ASSERT_EQ(mine.Lock(0), WaitResult::Signalled);
    EXPECT_FALSE(OtherThreadGetsIt(tryLock, unlock));
    mine.Unlock();
    EXPECT_FALSE(OtherThreadGetsIt(tryLock, unlock)) << "locked twice, unlocked once";
    mine.Unlock();
    EXPECT_TRUE(OtherThreadGetsIt(tryLock, unlock));
}

TEST(NamedMutexTest, InitialOwnershipGoesOnlyToTheCreator) {
    const std::string name = UniqueName("initial");
    NamedMutex creator(name.c_str(), true);
    // Opening the existing mutex asks for ownership but must not get it.
    bool openerOwns = true;
    OnOtherThread([&] {
        NamedMutex opener(name.c_str(), true);
        openerOwns = opener.Lock(0) == WaitResult::Signalled;
        if (openerOwns) {
            opener.Unlock();
        }
    });
    EXPECT_FALSE(openerOwns);
    creator.Unlock();
}

}  // namespace
}  // namespace marl::platform
