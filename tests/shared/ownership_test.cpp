// The handle owner, the last-error guard and the boundary at a Windows callback.

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shared/callback_boundary.h"
#include "shared/last_error.h"
#include "shared/last_error_guard.h"
#include "shared/unique_handle.h"

namespace tav::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// An interface that hands out handles and records each close; a close fails with error 6.
class Opener {
  public:
    int Close(uintptr_t handle) {
        closed.push_back(handle);
        SetLastErrorCode(6);
        return 0;
    }
    std::vector<uintptr_t> closed;
};
using Owned = UniqueHandle<uintptr_t, 0, Opener, &Opener::Close>;

std::vector<int> g_freed;
int FreeNumber(int number) {
    g_freed.push_back(number);
    return 1;
}
using OwnedNumber = UniqueFreeHandle<int, -1, &FreeNumber>;

TEST(UniqueHandle, ClosesWhatItHoldsOnceThroughItsOpener) {
    Opener opener;
    {
        Owned none(opener, 0);
        EXPECT_FALSE(none);
        const Owned held(opener, 7);
        EXPECT_TRUE(held);
        EXPECT_EQ(held.get(), 7u);
        EXPECT_THAT(opener.closed, IsEmpty());
    }
    EXPECT_THAT(opener.closed, ElementsAre(7u));  // the invalid value is never closed
}

TEST(UniqueHandle, MoveReleaseAndResetHandOverOwnership) {
    Opener opener;
    {
        Owned first(opener, 1);
        Owned second(std::move(first));
        EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): moved-from holds nothing
        Owned third(opener, 3);
        third = std::move(second);  // 3 is closed, 1 is held
        EXPECT_THAT(opener.closed, ElementsAre(3u));
        third.reset(4);  // 1 is closed, 4 is held
        EXPECT_THAT(opener.closed, ElementsAre(3u, 1u));
        EXPECT_EQ(third.release(), 4u);  // given away: never closed here
        EXPECT_FALSE(third);
    }
    EXPECT_THAT(opener.closed, ElementsAre(3u, 1u));
}

TEST(UniqueHandle, AFreeFunctionClosesAHandleWithoutAnOpener) {
    g_freed.clear();
    {
        const OwnedNumber none(-1);
        const OwnedNumber zero(0);  // 0 is a valid handle when -1 is the invalid one
        OwnedNumber five(5);
        five.reset();
        EXPECT_THAT(g_freed, ElementsAre(5));
    }
    EXPECT_THAT(g_freed, ElementsAre(5, 0));
}

TEST(LastErrorGuard, KeepsTheErrorAcrossAFailingClose) {
    Opener opener;
    SetLastErrorCode(1167);
    {
        const LastErrorGuard keep;
        SetLastErrorCode(6);  // a release's own failure...
    }
    EXPECT_EQ(GetLastErrorCode(), 1167u);  // ...is not what the caller reads
    // An owner's release keeps it by itself, on every path that closes.
    Owned held(opener, 9);
    held.reset();
    EXPECT_EQ(GetLastErrorCode(), 1167u);
    { Owned dropped(opener, 10); }
    EXPECT_EQ(GetLastErrorCode(), 1167u);
}

TEST(CallbackBoundary, AnUnexpectedFailureBecomesTheDefinedResult) {
    // A dialog procedure: its answer, or FALSE when it fails.
    EXPECT_EQ(AtCallbackBoundary([] { return 1; }, 0), 1);
    EXPECT_EQ(AtCallbackBoundary([]() -> int { throw std::bad_alloc(); }, 0), 0);
    EXPECT_EQ(AtCallbackBoundary([]() -> int { throw std::string("anything"); }, 0), 0);
    // A subclass procedure: the default processing, run only when the procedure fails.
    int defaults = 0;
    const auto byDefault = [&] {
        ++defaults;
        return 42L;
    };
    EXPECT_EQ(AtCallbackBoundary([] { return 7L; }, byDefault), 7L);
    EXPECT_EQ(defaults, 0);
    EXPECT_EQ(AtCallbackBoundary([]() -> long { throw std::runtime_error("x"); }, byDefault), 42L);
    EXPECT_EQ(defaults, 1);
    // A timer callback: nothing to answer; the failure ends there.
    bool ran = false;
    AtCallbackBoundary(
        [&] {
            ran = true;
            throw std::bad_alloc();
        },
        [] {});
    EXPECT_TRUE(ran);
    const auto throwing = []() -> int { throw std::bad_alloc(); };
    static_assert(noexcept(AtCallbackBoundary(throwing, 0)), "never throws");
}

}  // namespace
}  // namespace tav::test
