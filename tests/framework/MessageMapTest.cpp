// Command and notification routing through message maps without windows: id ranges, the base
// chain, handlers that decline, update handlers and handler lookup.
#include "Framework.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const UINT kIdOpen = 100;
const UINT kIdSave = 101;
const UINT kIdRangeFirst = 200;
const UINT kIdRangeLast = 209;
const UINT kIdDeclined = 300;
const UINT kIdOverridden = 400;
const UINT kIdBaseOnly = 401;
const UINT kCodeCustom = 0x1234;

class CBaseTarget : public CCmdTarget {
public:
    std::vector<std::string> calls;

protected:
    void OnOverriddenInBase() { calls.push_back("base overridden"); }
    void OnBaseOnly() { calls.push_back("base only"); }
    BOOL OnDeclinedInBase(UINT) { calls.push_back("base declined-id"); return TRUE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
    ON_COMMAND(kIdOverridden, OnOverriddenInBase)
    ON_COMMAND(kIdBaseOnly, OnBaseOnly)
    ON_COMMAND_EX(kIdDeclined, OnDeclinedInBase)
END_MESSAGE_MAP()

class CTarget : public CBaseTarget {
public:
    UINT lastRangeId = 0;
    NMHDR* lastNotify = nullptr;
    bool enableSave = false;

protected:
    void OnOpen() { calls.push_back("open"); }
    void OnRange(UINT nID) { lastRangeId = nID; calls.push_back("range"); }
    BOOL OnDeclined(UINT) { calls.push_back("declined"); return FALSE; }
    void OnOverridden() { calls.push_back("derived overridden"); }
    void OnCustomCode() { calls.push_back("custom code"); }
    void OnNotifyClick(NMHDR* pNMHDR, LRESULT* pResult) { lastNotify = pNMHDR; *pResult = 7; calls.push_back("notify"); }
    void OnUpdateSave(CCmdUI* pCmdUI) { pCmdUI->Enable(enableSave); calls.push_back("update save"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTarget, CBaseTarget)
    ON_COMMAND(kIdOpen, OnOpen)
    ON_COMMAND_RANGE(kIdRangeFirst, kIdRangeLast, OnRange)
    ON_COMMAND_EX(kIdDeclined, OnDeclined)
    ON_COMMAND(kIdOverridden, OnOverridden)
    ON_CONTROL(kCodeCustom, kIdOpen, OnCustomCode)
    ON_NOTIFY(NM_CLICK, kIdOpen, OnNotifyClick)
    ON_UPDATE_COMMAND_UI(kIdSave, OnUpdateSave)
END_MESSAGE_MAP()

// A CCmdUI that records what the update handler asked for.
class CRecordingCmdUI : public CCmdUI {
public:
    int enableCalls = 0;
    BOOL enabled = TRUE;
    void Enable(BOOL bOn) override
    {
        ++enableCalls;
        enabled = bOn;
        m_bEnableChanged = TRUE;
    }
};

TEST(MessageMap, CommandsReachTheirHandlerByIdAndCode)
{
    CTarget target;
    struct Row { UINT id; int code; BOOL handled; const char* call; };
    const Row rows[] = {
        { kIdOpen, CN_COMMAND, TRUE, "open" },
        { kIdOpen, (int)kCodeCustom, TRUE, "custom code" },
        { kIdRangeFirst, CN_COMMAND, TRUE, "range" },
        { kIdRangeLast, CN_COMMAND, TRUE, "range" },
        { kIdRangeLast + 1, CN_COMMAND, FALSE, "" },
        { kIdOpen, 0x4321, FALSE, "" },
        { 999, CN_COMMAND, FALSE, "" },
    };
    for (const Row& row : rows) {
        target.calls.clear();
        BOOL handled = target.OnCmdMsg(row.id, row.code, nullptr, nullptr);
        EXPECT_EQ(handled, row.handled) << "id " << row.id << " code " << row.code;
        std::string call = target.calls.empty() ? "" : target.calls.back();
        EXPECT_EQ(call, row.call) << "id " << row.id << " code " << row.code;
    }
}

TEST(MessageMap, RangeHandlersReceiveTheCommandId)
{
    CTarget target;
    target.OnCmdMsg(kIdRangeFirst + 3, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(target.lastRangeId, kIdRangeFirst + 3);
}

TEST(MessageMap, TheDerivedMapIsSearchedBeforeTheBase)
{
    CTarget target;
    target.OnCmdMsg(kIdOverridden, CN_COMMAND, nullptr, nullptr);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0], "derived overridden");
    target.calls.clear();
    EXPECT_TRUE(target.OnCmdMsg(kIdBaseOnly, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(target.calls, std::vector<std::string>{ "base only" });
}

TEST(MessageMap, AHandlerThatDeclinesLetsTheSearchContinue)
{
    CTarget target;
    EXPECT_TRUE(target.OnCmdMsg(kIdDeclined, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(target.calls, (std::vector<std::string>{ "declined", "base declined-id" }));
}

TEST(MessageMap, NotificationsCarryTheHeaderAndTheResult)
{
    CTarget target;
    NMHDR header = { nullptr, kIdOpen, (UINT)NM_CLICK };
    LRESULT result = 0;
    FwNotifyExtra extra = { &header, &result };
    EXPECT_TRUE(target.OnCmdMsg(kIdOpen, CN_NOTIFY, &extra, nullptr));
    EXPECT_EQ(target.lastNotify, &header);
    EXPECT_EQ(result, 7);

    header.code = (UINT)NM_DBLCLK;
    EXPECT_FALSE(target.OnCmdMsg(kIdOpen, CN_NOTIFY, &extra, nullptr));
}

TEST(MessageMap, HandlerLookupReportsWithoutCalling)
{
    CTarget target;
    FwCmdHandlerInfo info = {};
    EXPECT_TRUE(target.OnCmdMsg(kIdOpen, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &target);
    EXPECT_TRUE(target.calls.empty());
    EXPECT_FALSE(target.OnCmdMsg(kIdSave, CN_COMMAND, nullptr, &info));
}

TEST(MessageMap, UpdateHandlersDecideTheItemState)
{
    CTarget target;
    CRecordingCmdUI state;
    state.m_nID = kIdSave;
    target.enableSave = false;
    EXPECT_TRUE(state.DoUpdate(&target, TRUE));
    EXPECT_EQ(state.enableCalls, 1);
    EXPECT_FALSE(state.enabled);

    target.enableSave = true;
    state.DoUpdate(&target, TRUE);
    EXPECT_TRUE(state.enabled);
}

TEST(MessageMap, WithoutAnUpdateHandlerAnItemIsEnabledExactlyWhenACommandHandlerExists)
{
    CTarget target;
    struct Row { UINT id; BOOL expectedEnabled; };
    const Row rows[] = { { kIdOpen, TRUE }, { 999, FALSE } };
    for (const Row& row : rows) {
        CRecordingCmdUI state;
        state.m_nID = row.id;
        EXPECT_FALSE(state.DoUpdate(&target, TRUE)) << row.id;
        EXPECT_EQ(state.enableCalls, 1) << row.id;
        EXPECT_EQ(state.enabled, row.expectedEnabled) << row.id;
    }
    CRecordingCmdUI untouched;
    untouched.m_nID = 999;
    untouched.DoUpdate(&target, FALSE);
    EXPECT_EQ(untouched.enableCalls, 0);
}

}
