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
#include <cstdlib>

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

// The leftover cleaning follows no folder that leads elsewhere (a junction, a link): what lies
// there is not the update's. Wine makes no such folder itself (CreateSymbolicLink does nothing,
// a junction is refused), but shows a link of its host as one; the build makes them beside a
// plain install folder (TOVI_FOLDER_LINKS).
TEST(LeftOverCleaning, NeverEntersAFolderThatLeadsElsewhere)
{
    const char* links = std::getenv("TOVI_FOLDER_LINKS");
    ASSERT_NE(nullptr, links) << "the build's folder links are not given";
    const std::wstring root = Wide(links);
    const std::wstring install = root + L"\\install";
    struct Row {
        const char* why;
        std::wstring link;         // leads to elsewhere
        std::wstring elsewhere;
        std::vector<std::wstring> cleaned;
    } rows[] = {
        { "a link inside the install folder", install + L"\\linked", root + L"\\elsewhere-inside", { install } },
        { "a link given as a folder to clean", root + L"\\image-link", root + L"\\elsewhere-given", { install, root + L"\\image-link" } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        DWORD attributes = GetFileAttributesW(row.link.c_str());
        ASSERT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            << "not a folder that leads elsewhere: " << testing::PrintToString(row.link);
        PutFile(install + L"\\Module.dll.upd-new", "ours");
        PutFile(install + L"\\parts\\Part.dat.upd-old", "ours");
        PutFile(row.elsewhere + L"\\Other.dll.upd-new", "not ours");
        PutFile(row.elsewhere + L"\\sub\\Deep.dll.upd-old", "not ours");
        std::vector<CString> folders;
        for (const std::wstring& f : row.cleaned)
            folders.push_back(f.c_str());
        EXPECT_EQ(updatejournal::Outcome::kNothing, updatejournal::Recover(updatejournal::PathFor(install.c_str()), folders));
        EXPECT_FALSE(Exists(install + L"\\Module.dll.upd-new"));
        EXPECT_FALSE(Exists(install + L"\\parts\\Part.dat.upd-old"));
        EXPECT_EQ("not ours", ReadFile(row.elsewhere + L"\\Other.dll.upd-new"));
        EXPECT_EQ("not ours", ReadFile(row.elsewhere + L"\\sub\\Deep.dll.upd-old"));
    }
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
