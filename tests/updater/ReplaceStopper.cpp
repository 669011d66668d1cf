// Plays an update program that ends abruptly in the middle of a replacement: replaces the given
// targets by their staged files under the journal, and ends the process hard right after the
// step whose number is given (0: never).
// Usage: UpdaterReplaceStopper JOURNAL STEP TARGET...
#include "UpdateJournal.h"
#include <windows.h>
#include <cstdlib>
#include <vector>

namespace {

int g_stopAt = 0;

void EndAtStep(int step)
{
    if (step == g_stopAt)
        TerminateProcess(GetCurrentProcess(), 9);
}

}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return 2;
    g_stopAt = _wtoi(argv[2]);
    updatejournal::g_pAfterReplacementStep = EndAtStep;
    std::vector<CString> targets;
    for (int i = 3; i < argc; ++i)
        targets.push_back(argv[i]);
    CString failed;
    return updatejournal::ReplaceStaged(argv[1], targets, failed, nullptr) ? 0 : 1;
}
