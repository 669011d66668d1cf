// A replacement ended abruptly at each of its steps (the process killed, as a power cut or the
// task manager would) is finished or undone at the next start: the install is never left mixed,
// and nothing staged or kept stays behind. The last case starts the real update program as the
// client does and lets its own start do the recovery.
#include "RegistryFixture.h"
#include "TestPaths.h"
#include "UpdateJournal.h"
#include "UpdaterFiles.h"
#include <gtest/gtest.h>
#include <windows.h>

using namespace updtest;

namespace {

struct Target {
    const wchar_t* name;
    const char* before;   // null: the file is new
    const char* after;
    bool readOnly;
};

const Target kTargets[] = {
    { L"Module.dll", "module before", "module after, longer than before", false },
    { L"Settings.xml", "settings before", "settings after", true },
    { L"parts\\Added.dll", nullptr, "added by the update", false },
};
// Original aside and new in for each file with an original, new in for the added one.
const int kSteps = 5;

class ReplacementJournal : public ::testing::Test {
protected:
    void Prepare(const std::wstring& name)
    {
        m_folder = testpaths::ScratchDir((L"UpdaterJournal" + name).c_str());
        m_targets.clear();
        for (const Target& t : kTargets) {
            std::wstring path = m_folder + L"\\" + t.name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
            if (t.before != nullptr) {
                PutFile(path, t.before);
                if (t.readOnly)
                    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
            }
            PutFile(path + L".upd-new", t.after);
            m_targets.push_back(path);
        }
    }

    // The stand-in updater replaces the targets and ends itself hard after step stopAt.
    unsigned long ReplaceAndStopAt(int stopAt)
    {
        std::wstring args = L"\"" + JournalFile() + L"\" " + std::to_wstring(stopAt);
        for (const std::wstring& t : m_targets)
            args += L" \"" + t + L"\"";
        return RunAnswering(ProgramFolder() + L"\\standin\\UpdaterReplaceStopper.exe", args, 30000, nullptr);
    }

    std::wstring JournalFile() const { return updatejournal::PathFor(m_folder.c_str()).GetString(); }

    // Every target as it was (before) or as the update makes it (after), and nothing else left.
    void ExpectWhole(bool after)
    {
        for (const Target& t : kTargets) {
            std::wstring path = m_folder + L"\\" + t.name;
            const char* expected = after ? t.after : t.before;
            if (expected == nullptr) {
                EXPECT_FALSE(Exists(path)) << testing::PrintToString(path);
                continue;
            }
            EXPECT_EQ(expected, ReadFile(path)) << testing::PrintToString(path);
            DWORD attributes = GetFileAttributesW(path.c_str());
            EXPECT_EQ(t.readOnly, attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
                << testing::PrintToString(path);
        }
        EXPECT_EQ(0, CountFilesEndingWith(m_folder, L".upd-new") + CountFilesEndingWith(m_folder, L".upd-old") +
                         CountFilesEndingWith(m_folder, L".upd-journal"));
    }

    std::wstring m_folder;
    std::vector<std::wstring> m_targets;
};

}

TEST_F(ReplacementJournal, AReplacementEndedAtAnyStepIsFinishedAtTheNextStart)
{
    for (int step = 1; step <= kSteps; ++step) {
        SCOPED_TRACE("ended after step " + std::to_string(step));
        Prepare(L"Step" + std::to_wstring(step));
        ASSERT_EQ(9u, ReplaceAndStopAt(step));
        ASSERT_TRUE(Exists(JournalFile())) << "the run ended before it could finish";
        EXPECT_EQ(updatejournal::Outcome::kFinished, updatejournal::Recover(JournalFile().c_str(), { m_folder.c_str() }));
        ExpectWhole(true);
    }
    // Not ended: whole at once, nothing to recover.
    Prepare(L"Whole");
    ASSERT_EQ(0u, ReplaceAndStopAt(0));
    ExpectWhole(true);
    EXPECT_EQ(updatejournal::Outcome::kNothing, updatejournal::Recover(JournalFile().c_str(), { m_folder.c_str() }));
}

TEST_F(ReplacementJournal, AnUndoEndedAbruptlyIsFinishedAtTheNextStart)
{
    Prepare(L"Undo");
    // The last target is held open by another program: the run must undo, and ends during that.
    std::wstring held = m_folder + L"\\Held.dll";
    PutFile(held, "held before");
    PutFile(held + L".upd-new", "held after");
    m_targets.push_back(held);
    HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    EXPECT_EQ(9u, ReplaceAndStopAt(kSteps + 1));
    CloseHandle(open);
    EXPECT_EQ(updatejournal::Outcome::kUndone, updatejournal::Recover(JournalFile().c_str(), { m_folder.c_str() }));
    ExpectWhole(false);
    EXPECT_EQ("held before", ReadFile(held));
    EXPECT_FALSE(Exists(held + L".upd-new"));
}

TEST_F(ReplacementJournal, LeftOversOfARunWithoutAJournalAreRemoved)
{
    Prepare(L"Sweep");
    PutFile(m_folder + L"\\Module.dll.upd-enc", "half a download");
    EXPECT_EQ(updatejournal::Outcome::kNothing, updatejournal::Recover(JournalFile().c_str(), { m_folder.c_str() }));
    ExpectWhole(false);
}

// The real program, started as the client starts it, recovers before it does anything else.
class JournalAtStart : public regtest::RegistryTest {};

TEST_F(JournalAtStart, TheUpdateProgramFinishesAnInterruptedReplacementWhenItStarts)
{
    std::wstring folder = testpaths::ScratchDir(L"UpdaterJournalAtStart");
    PutFile(folder + L"\\CorvaneUpdate.exe", ReadFile(ProgramFolder() + L"\\CorvaneUpdate.exe"));
    PutFile(folder + L"\\CorvaneIXO.exe", ReadFile(ProgramFolder() + L"\\standin\\UpdaterStandIn.exe"));
    PutFile(folder + L"\\Module.dll", "module before");
    PutFile(folder + L"\\Module.dll.upd-new", "module after");
    PutFile(folder + L"\\Notes.txt", "notes before");
    PutFile(folder + L"\\Notes.txt.upd-new", "notes after");
    std::wstring journal = updatejournal::PathFor(folder.c_str()).GetString();
    std::wstring args = L"\"" + journal + L"\" 2 \"" + folder + L"\\Module.dll\" \"" + folder + L"\\Notes.txt\"";
    ASSERT_EQ(9u, RunAnswering(ProgramFolder() + L"\\standin\\UpdaterReplaceStopper.exe", args, 30000, nullptr));
    ASSERT_TRUE(Exists(folder + L"\\Module.dll.upd-old") || Exists(folder + L"\\Notes.txt.upd-new"));

    regtest::PutText(regtest::kProductKeys[0], L"InstallDir", folder);
    regtest::PutText(regtest::kProductKeys[0], L"UpdateURL", L"http://127.0.0.1:1");
    regtest::PutText(regtest::kProductKeys[0], L"Language", L"1033");
    std::vector<std::wstring> texts;
    EXPECT_NE(0xFFFFFFFEu, RunAnswering(folder + L"\\CorvaneUpdate.exe", L"0", 60000, &texts));
    EXPECT_EQ("module after", ReadFile(folder + L"\\Module.dll"));
    EXPECT_EQ("notes after", ReadFile(folder + L"\\Notes.txt"));
    EXPECT_EQ(0, CountFilesEndingWith(folder, L".upd-new") + CountFilesEndingWith(folder, L".upd-old") +
                     CountFilesEndingWith(folder, L".upd-journal"));
}
