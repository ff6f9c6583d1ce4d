#include "path_probe.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

// A share where "slow" answers once per permit the test gives, and "missing" is not there. Shared with
// the probe's workers, which may still be inside it when the test ends.
struct Slow_Share {
    std::mutex Lock;
    std::condition_variable Changed;
    int Permits = 0, Answered = 0;
    void Let_Go(int n) {
        const std::lock_guard<std::mutex> lock(Lock);
        Permits += n;
        Changed.notify_all();
    }
};

}  // namespace

TEST(PathProbe, SlowAnswerIsNotKnownYetUntilItComes) {
    const auto share = std::make_shared<Slow_Share>();
    Path_Probe probe(10000, [share](const std::wstring& path, Path_Kind) {
        if (path != L"slow") return path != L"missing";
        std::unique_lock<std::mutex> lock(share->Lock);
        share->Changed.wait(lock, [&] { return share->Permits > 0; });
        --share->Permits;
        ++share->Answered;
        share->Changed.notify_all();
        return true;
    });
    const auto ask = [&](const wchar_t* path, unsigned wait_ms) {
        probe.Set_Wait_Ms(wait_ms);  // long for answers that come, short for the stuck one
        return probe.Ask(path, Path_Kind::Plain_File);
    };
    EXPECT_EQ(ask(L"here", 10000), std::optional<bool>(true));
    EXPECT_EQ(ask(L"missing", 10000), std::optional<bool>(false));
    // Many paths in one question: how many pass from the first on.
    EXPECT_EQ(probe.Ask_All({L"here", L"there", L"missing", L"here"}, Path_Kind::Plain_File),
              std::optional<std::size_t>(2));
    EXPECT_EQ(ask(L"slow", 20), std::nullopt);
    EXPECT_EQ(ask(L"here too", 10000), std::optional<bool>(true));  // not held up by the stuck one
    EXPECT_EQ(ask(L"slow", 20), std::nullopt);                      // still out, not asked twice

    // The answer comes late; the next question is stuck again, and the late answer counts for it, once.
    share->Let_Go(1);
    {
        std::unique_lock<std::mutex> lock(share->Lock);
        ASSERT_TRUE(share->Changed.wait_for(lock, std::chrono::seconds(10), [&] { return share->Answered == 1; }));
    }
    EXPECT_EQ(ask(L"slow", 20), std::optional<bool>(true));
    EXPECT_EQ(ask(L"slow", 20), std::nullopt);
    share->Let_Go(1000);
}
