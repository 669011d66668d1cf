// The main window's decisions that need no window: command line, intervals, tray flags,
// pop-up slots, form bodies, the server path form and the last-paths store, the first window
// size, idle time, the forced log-out guard, the log-out gate and the instance lock.
#include "InstanceLock.h"
#include "MainFrameRules.h"
#include "ToviHtmlView.h"
#include "ToviRegistry.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <vector>

using namespace mainframe;

TEST(StartArgs, TheSwitchInAnyCaseSkipsTheUpdateAndTheNextWordIsTheSingleSignOnId)
{
    struct Row {
        const wchar_t* line;
        bool noUpdate;
        const wchar_t* sso;
    } rows[] = {
        {L"", false, L""},
        {L"/NOUPDATE", true, L""},
        {L"/noupdate", true, L""},
        {L"/NoUpdate user42", true, L"user42"},
        {L"user42", false, L"user42"},
        {L"\"user 42\" extra", false, L"user 42"},
    };
    for (const Row& row : rows) {
        const StartArgs args = ParseStartArgs(row.line);
        EXPECT_EQ(row.noUpdate, args.noUpdate) << "line [" << CStringA(row.line).GetString() << "]";
        EXPECT_STREQ(row.sso, args.ssoId.GetString()) << "line [" << CStringA(row.line).GetString() << "]";
    }
}

TEST(Intervals, EmptyZeroOrBadTextsGiveNoIntervalSoNoTimerIsArmed)
{
    struct Row {
        const char* text;
        int ms;
    } rows[] = {{nullptr, 0}, {"", 0}, {"0", 0}, {"-5", 0}, {"abc", 0}, {"1", 1000}, {"60", 60000}, {"90000", 0}};
    for (const Row& row : rows)
        EXPECT_EQ(row.ms, IntervalMs(row.text)) << "text [" << (row.text ? row.text : "null") << "]";
}

TEST(Intervals, TheFirstQuotaLineWithAnIntervalDecides)
{
    std::vector<_QUOTA_INFO> quota(3);
    EXPECT_EQ(0, QuotaIntervalMs(quota));
    strcpy(quota[1].Interval, "0");
    strcpy(quota[2].Interval, "30");
    EXPECT_EQ(0, QuotaIntervalMs(quota)) << "the first non-empty one is 0: no timer";
    strcpy(quota[1].Interval, "45");
    EXPECT_EQ(45000, QuotaIntervalMs(quota));
}

TEST(TrayFlags, FollowTheSessionAndTheCustomer)
{
    struct Row {
        bool loggedIn;
        const wchar_t* customer;
        TrayFlags flags;
    } rows[] = {
        {false, L"", {TRUE, FALSE, FALSE, TRUE, TRUE}},
        {false, L"QLNW", {TRUE, FALSE, FALSE, TRUE, TRUE}},
        {true, L"", {FALSE, TRUE, FALSE, TRUE, TRUE}},
        {true, L"qlnw", {FALSE, TRUE, TRUE, TRUE, TRUE}},
    };
    for (const Row& row : rows) {
        const TrayFlags f = TrayFlagsFor(row.loggedIn, row.customer);
        EXPECT_EQ(row.flags.login, f.login);
        EXPECT_EQ(row.flags.logout, f.logout);
        EXPECT_EQ(row.flags.changePassword, f.changePassword) << CStringA(row.customer).GetString();
        EXPECT_EQ(row.flags.config, f.config);
        EXPECT_EQ(row.flags.exit, f.exit);
    }
}

TEST(PopupSlots, OnlyTheNineKindsHaveASlot)
{
    const int kinds[] = {6, 7, 8, 9, 10, 12, 13, 14, 15};
    std::vector<bool> used(kPopupSlots, false);
    for (int kind : kinds) {
        const int slot = PopupSlot(kind);
        ASSERT_GE(slot, 0) << "kind " << kind;
        ASSERT_LT(slot, static_cast<int>(kPopupSlots));
        EXPECT_FALSE(used[slot]) << "two kinds share slot " << slot;
        used[slot] = true;
    }
    for (int kind : {-1, 0, 5, 11, 16, 100})
        EXPECT_EQ(-1, PopupSlot(kind)) << "kind " << kind;
}

TEST(PopupSlots, ABrowserNewWindowForAKindWithoutASlotIsCancelled)
{
    // No page runs under Wine, so the browser's event is raised here as the control would.
    CToviHtmlView view;
    for (int kind : {0, 11, 16}) {
        view.m_nPopupKind = kind;
        BOOL cancel = FALSE;
        LPDISPATCH window = nullptr;
        view.OnNewWindow2(&window, &cancel);
        EXPECT_TRUE(cancel) << "kind " << kind;
        EXPECT_EQ(nullptr, window);
    }
}

TEST(CaptionPages, FormBodiesArePercentEncoded)
{
    EXPECT_STREQ(L"link=log&uid=demo&sess=0123abcd", CaptionPageBody(L"log", L"demo", L"0123abcd").GetString());
    // A user id with the body's own separators cannot add or change fields.
    EXPECT_STREQ(L"link=env&uid=a%26sess%3Dx%20y&sess=s%2B1",
                 CaptionPageBody(L"env", L"a&sess=x y", L"s+1").GetString());
}

TEST(ServerPath, JoinAndSplitAreOneRule)
{
    const std::vector<CString> names = {L"My Files", L"2024 보고서", L"a b"};
    const CString path = JoinServerPath(names);
    EXPECT_STREQ(L"My Files/2024 보고서/a b", path.GetString());
    EXPECT_EQ(names, SplitServerPath(path));
    EXPECT_TRUE(SplitServerPath(L"").empty());
    EXPECT_EQ((std::vector<CString>{L"x", L"y"}), SplitServerPath(L"/x//y/"));
}

TEST(ServerPath, TheLastPathsComeBackFromTheStoreAsTheyWereSaved)
{
    const std::vector<CString> names = {L"My Files", L"Reports"};
    ASSERT_TRUE(StoreLastPaths(names, L"C:\\Users\\demo\\Documents"));
    std::vector<CString> readNames;
    CString local;
    ASSERT_TRUE(RestoreLastPaths(readNames, local));
    EXPECT_EQ(names, readNames) << "the server path came back as the local one";
    EXPECT_STREQ(L"C:\\Users\\demo\\Documents", local.GetString());
}

TEST(FrameSize, SevenTenthsOfTheWorkAreaWideTwoThirdsOfThatHighCentred)
{
    const RECT work = {0, 0, 1600, 900};
    const RECT r = FirstFrameRect(work);
    EXPECT_EQ(240, r.left);
    EXPECT_EQ(77, r.top);
    EXPECT_EQ(1120, r.right - r.left);
    EXPECT_EQ(746, r.bottom - r.top);
}

TEST(IdleTime, CountsAcrossTheTickWrapAndNeverWithoutALimit)
{
    EXPECT_FALSE(IdleExpired(5000, 1000, 0));
    EXPECT_FALSE(IdleExpired(5000, 1000, 4000));
    EXPECT_TRUE(IdleExpired(5001, 1000, 4000));
    EXPECT_TRUE(IdleExpired(100, 0xFFFFF000u, 1000)) << "4,196 ms across the wrap";
    EXPECT_FALSE(IdleExpired(100, 0xFFFFFF00u, 1000)) << "356 ms across the wrap";
}

TEST(BrowserKeys, OnlyTheLeftControlWithLNOPIsSwallowed)
{
    for (WPARAM key : {0x4C, 0x4E, 0x4F, 0x50, 0x6C, 0x6E, 0x6F, 0x70}) {
        EXPECT_TRUE(CToviHtmlView::IsFilteredKey(key, true)) << key;
        EXPECT_FALSE(CToviHtmlView::IsFilteredKey(key, false)) << key;
    }
    for (WPARAM key : {0x41, 0x4D, 0x51, VK_F5})
        EXPECT_FALSE(CToviHtmlView::IsFilteredKey(key, true)) << key;
}

TEST(ForcedLogoutGuard, ThreadsSeeingTheEndTogetherClaimItOnce)
{
    for (int round = 0; round < 200; ++round) {
        ForcedLogoutGuard guard;
        std::atomic<int> ready{0}, claims{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 6; ++i) {
            threads.emplace_back([&] {
                ++ready;
                while (ready.load() < 6)
                    std::this_thread::yield();
                if (guard.Claim())
                    ++claims;
            });
        }
        for (std::thread& t : threads)
            t.join();
        ASSERT_EQ(1, claims.load()) << "round " << round;
        EXPECT_TRUE(guard.Pending());
    }
}

TEST(LogoutGate, ALogOutDuringAModalOperationWaitsForTheLastOneToEnd)
{
    LogoutGate gate;
    EXPECT_TRUE(gate.Request()) << "nothing runs: at once";
    gate.EnterModal();
    gate.EnterModal();
    EXPECT_FALSE(gate.Request());
    EXPECT_FALSE(gate.LeaveModal()) << "one operation still runs";
    EXPECT_TRUE(gate.LeaveModal()) << "the kept log-out runs now";
    EXPECT_FALSE(gate.LeaveModal()) << "only once";
    EXPECT_FALSE(gate.Busy());
}

namespace {

struct LaunchProbe {
    bool acquiredByNewInstance = false;
};

bool LaunchSecond(void* context)
{
    CInstanceLock second;
    static_cast<LaunchProbe*>(context)->acquiredByNewInstance = second.Acquire(L"{AppTest-InstanceLock-Probe}");
    return true;
}

}

TEST(InstanceLock, ASecondHolderIsRefusedUntilARestartReleasedTheFirst)
{
    CInstanceLock first;
    ASSERT_TRUE(first.Acquire(L"{AppTest-InstanceLock-Probe}"));
    CInstanceLock other;
    EXPECT_FALSE(other.Acquire(L"{AppTest-InstanceLock-Probe}"));
    LaunchProbe probe;
    EXPECT_TRUE(first.Restart(LaunchSecond, &probe));
    EXPECT_TRUE(probe.acquiredByNewInstance) << "the new instance found the lock still held";
    EXPECT_FALSE(first.Held());
}

TEST(InstanceLock, AFailedRestartKeepsTheLockSoThatASecondLaunchIsStillRefused)
{
    CInstanceLock first;
    ASSERT_TRUE(first.Acquire(L"{AppTest-InstanceLock-Probe}"));
    EXPECT_FALSE(first.Restart([](void*) { return false; }, nullptr));
    EXPECT_TRUE(first.Held());
    CInstanceLock second;
    EXPECT_FALSE(second.Acquire(L"{AppTest-InstanceLock-Probe}")) << "a second instance could start";
}
