// The upload's decisions as tables: the server's copy against the local file, the prompt's
// answers, what a failed request means at each step, retry settings and display pieces.
#include "ToviProtoTypes.h"
#include "UploadDecision.h"
#include <gtest/gtest.h>
#include <cstring>

using namespace upload;

TEST(UploadDecision, TheServersCopyDecidesResumeSkipOrAsk)
{
    const struct {
        const char* storedSize;
        const char* storedSum;
        unsigned long localSum;
        int64_t localSize;
        const char* mode;
    } rows[] = {
        {"", "", 0, 100, ""},           // new on the server: no decision, from offset 0
        {nullptr, nullptr, 0, 100, ""},
        {"100", "77", 77, 250, "3"},    // a matching start: resume
        {"100", "77", 77, 100, "2"},    // identical: skip
        {"100", "77", 77, 40, "1"},     // the server's is longer: a different file
        {"100", "77", 78, 250, "1"},    // different bytes: never resumed
        {"0", "1", 1, 10, "3"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.mode, DecideServerCopy(row.storedSize, row.storedSum, row.localSum, row.localSize))
            << (row.storedSize ? row.storedSize : "(null)") << " / " << row.localSize << " sums " << row.localSum;
    }
}

TEST(UploadDecision, AConflictIsAnsweredWithoutAPromptOnlyByApplyToAllOrAnEarlierAttempt)
{
    const struct {
        const char* applyAll;
        bool retried;
        const char* remembered;
        const char* mode;
    } rows[] = {
        {"", false, "0", ""},      // ask
        {"2", false, "0", "2"},    // apply to all
        {"1", true, "2", "1"},     // apply to all wins over this file's answer
        {"", true, "2", "2"},      // the same file again after a failure
        {"", true, "0", "0"},      // no earlier answer: the server decides
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.mode, ConflictModeWithoutPrompt(row.applyAll, row.retried, row.remembered))
            << row.applyAll << "/" << row.retried << "/" << row.remembered;
}

TEST(UploadDecision, PromptAnswersBecomeModes)
{
    const struct {
        intptr_t answer;
        const char* mode;
    } rows[] = {{1, "1"}, {2, "2"}, {3, "4"}, {0, "1"}, {-1, "1"}};
    for (const auto& row : rows)
        EXPECT_EQ(row.mode, FileConflictMode(row.answer)) << row.answer;
}

TEST(UploadDecision, FailedRequestsByStepAndCode)
{
    const uint32_t E0 = C_ERROR, E1 = C_ERROR_WARN;
    using K = FailureAction::Kind;
    const struct {
        Step step;
        uint32_t reply;
        int code;
        K kind;
        unsigned row;
        bool failed;
        int result;
    } rows[] = {
        {Step::Announce, E0, 1213, K::ForceStop, 14089, false, -2},
        {Step::Confirm, E0, 1213, K::ForceStop, 14064, false, -2},
        {Step::Send, E0, 1213, K::ForceStop, 14064, false, -2},
        {Step::Announce, E0, 1400, K::StopRun, 14089, true, 1},
        {Step::Confirm, E0, 1000, K::StopRun, 14064, true, 1},
        {Step::Send, E0, 1999, K::StopRun, 0, true, 1},
        {Step::Announce, E1, 1312, K::SkipFile, 14064, true, 2},
        {Step::Send, E1, 5, K::SkipFile, 14064, true, 2},
        {Step::Announce, E0, 10, K::Retry, 0, false, 0},       // transport failure
        {Step::Announce, E0, 2000, K::Retry, 0, false, 0},
        {Step::Send, 0, 9, K::Retry, 0, false, 0},
    };
    for (const auto& row : rows) {
        const FailureAction action = ClassifyFailure(row.step, row.reply, row.code);
        SCOPED_TRACE("step " + std::to_string(static_cast<int>(row.step)) + " code " + std::to_string(row.code));
        EXPECT_EQ(row.kind, action.kind);
        if (row.kind != K::Retry) {
            EXPECT_EQ(row.row, action.rowStatus);
            EXPECT_EQ(row.failed, action.countFailed);
            EXPECT_EQ(row.result, action.result);
        }
    }
}

TEST(UploadDecision, RetrySettingsFallBackWhenNotAboveZero)
{
    EXPECT_EQ(5, RetryCount("5"));
    EXPECT_EQ(10, RetryCount("0"));
    EXPECT_EQ(10, RetryCount(""));
    EXPECT_EQ(10, RetryCount("-2"));
    EXPECT_EQ(10, RetryCount(nullptr));
    EXPECT_EQ(2000u, RetryDelayMs("2"));
    EXPECT_EQ(5000u, RetryDelayMs("0"));
    EXPECT_EQ(5000u, RetryDelayMs(""));
}

TEST(UploadDecision, DisplayPieces)
{
    EXPECT_EQ(std::wstring(L"abcdefghijklmnopqrstuvwx"), ShortName(L"abcdefghijklmnopqrstuvwx").GetString());
    EXPECT_EQ(std::wstring(L"abcdefghijklmnopqrstuvwx ..."), ShortName(L"abcdefghijklmnopqrstuvwxy").GetString());
    const struct {
        int64_t done, size;
        int percent;
    } rows[] = {{0, 0, 100}, {1, 3, 33}, {2, 3, 66}, {3, 3, 100}, {0, 10, 0}, {5000000000ll, 10000000000ll, 50}};
    for (const auto& row : rows)
        EXPECT_EQ(row.percent, Percent(row.done, row.size)) << row.done << "/" << row.size;
}

TEST(UploadDecision, AGroupKeyIsTwentyDigits)
{
    char key[21];
    std::memset(key, 'x', sizeof key);
    MakeGroupKey(key);
    EXPECT_EQ(20u, std::strlen(key));
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(key[i] >= '0' && key[i] <= '9') << key;
}
