#include "path_probe.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A file system where "slow" answers only when the test lets one answer go, and "missing" is not there.
struct Slow_Share {
    std::mutex Lock;
    std::condition_variable Changed;
    int Permits = 0, Answered = 0;

    bool Test(const std::wstring& path) {
        if (path != L"slow") return path != L"missing";
        std::unique_lock<std::mutex> lock(Lock);
        Changed.wait(lock, [&] { return Permits > 0; });
        --Permits;
        ++Answered;
        Changed.notify_all();
        return true;
    }
    void Let_Go(int n) {
        const std::lock_guard<std::mutex> lock(Lock);
        Permits += n;
        Changed.notify_all();
    }
    bool Wait_Answered(int n) {
        std::unique_lock<std::mutex> lock(Lock);
        return Changed.wait_for(lock, std::chrono::seconds(10), [&] { return Answered >= n; });
    }
};

}  // namespace

TEST(PathProbe, SlowAnswerIsNotKnownYetUntilItComes) {
    // Shared with the probe's workers, which may still be inside the test when this scope ends.
    const auto share = std::make_shared<Slow_Share>();
    // Waits long enough for any answer that comes, however busy the machine; short for the slow ones.
    constexpr unsigned Patient = 10000, Brief = 20;
    Path_Probe probe(Patient, [share](const std::wstring& path, Path_Kind) { return share->Test(path); });
    EXPECT_EQ(probe.Ask(L"here", Path_Kind::Plain_File), std::optional<bool>(true));
    EXPECT_EQ(probe.Ask(L"missing", Path_Kind::Plain_File), std::optional<bool>(false));

    probe.Set_Wait_Ms(Brief);
    EXPECT_EQ(probe.Ask(L"slow", Path_Kind::Plain_File), std::nullopt);
    // Stuck on the slow path, the probe still answers about others.
    probe.Set_Wait_Ms(Patient);
    EXPECT_EQ(probe.Ask(L"here too", Path_Kind::Folder_Or_Plain_File), std::optional<bool>(true));
    // The same question is not put twice while the first is out.
    probe.Set_Wait_Ms(Brief);
    EXPECT_EQ(probe.Ask(L"slow", Path_Kind::Plain_File), std::nullopt);

    // The first answer comes late; the next question is slow again, and the late answer counts for it,
    // once.
    share->Let_Go(1);
    ASSERT_TRUE(share->Wait_Answered(1));
    EXPECT_EQ(probe.Ask(L"slow", Path_Kind::Plain_File), std::optional<bool>(true));
    EXPECT_EQ(probe.Ask(L"slow", Path_Kind::Plain_File), std::nullopt);

    share->Let_Go(1000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::optional<bool> answer;
    while (!answer && std::chrono::steady_clock::now() < deadline) answer = probe.Ask(L"slow", Path_Kind::Plain_File);
    EXPECT_EQ(answer, std::optional<bool>(true));
}
