// The upload's decisions that need no window.
#include "UploadDecision.h"
#include "ToviProtoTypes.h"
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace upload {

namespace {

const unsigned kStatusFailed = 14089;
const unsigned kStatusCancelled = 14064;

}

std::string DecideServerCopy(const char* storedSizeText, const char* storedChecksumText,
                             unsigned long localChecksumOfStored, int64_t localSize)
{
    if (!storedSizeText || !storedSizeText[0])
        return std::string();
    const int64_t stored = _strtoi64(storedSizeText, nullptr, 10);
    const unsigned long serverSum = storedChecksumText ? std::strtoul(storedChecksumText, nullptr, 10) : 0;
    if (localChecksumOfStored != serverSum)
        return "1";
    if (localSize > stored)
        return "3";
    if (localSize == stored)
        return "2";
    return "1";
}

std::string ConflictModeWithoutPrompt(const std::string& applyAll, bool retried, const std::string& remembered)
{
    if (!applyAll.empty())
        return applyAll;
    if (retried && !remembered.empty())
        return remembered;
    return std::string();
}

std::string FileConflictMode(intptr_t dialogResult)
{
    switch (dialogResult) {
    case 2:
        return "2";
    case 3:
        return "4";
    default:
        return "1";
    }
}

FailureAction ClassifyFailure(Step step, uint32_t replyCmd, int code)
{
    if (replyCmd == C_ERROR && code == 1213)
        return {FailureAction::ForceStop, step == Step::Announce ? kStatusFailed : kStatusCancelled, false, false,
                false, -2};
    if (replyCmd == C_ERROR && code >= 1000 && code <= 1999) {
        unsigned row = step == Step::Announce ? kStatusFailed : step == Step::Confirm ? kStatusCancelled : 0;
        return {FailureAction::StopRun, row, true, false, true, 1};
    }
    if (replyCmd == C_ERROR_WARN)
        return {FailureAction::SkipFile, kStatusCancelled, true, true, true, 2};
    return {FailureAction::Retry, 0, false, true, true, 0};
}

int RetryCount(const char* text)
{
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 10;
}

unsigned RetryDelayMs(const char* text)
{
    const int n = text ? std::atoi(text) : 0;
    return static_cast<unsigned>(n > 0 ? n : 5) * 1000u;
}

void MakeGroupKey(char* key21)
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    for (int i = 0; i < 20; ++i)
        key21[i] = static_cast<char>('0' + std::rand() % 10);
    key21[20] = 0;
}

CString ShortName(const CString& name)
{
    if (name.GetLength() >= 25)
        return name.Left(24) + L" ...";
    return name;
}

int Percent(int64_t done, int64_t size)
{
    if (size <= 0)
        return 100;
    return static_cast<int>(static_cast<double>(done) / static_cast<double>(size) * 100.0);
}

}
