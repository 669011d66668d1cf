// CorvaneIXO.exe end to end under Wine: after log-in the lower panes show the local namespace,
// the last local path selected, and its files with the program's size and date texts, in Korean
// and in English. The panes are read from outside, as another program would.
#include "AppRun.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviRegistry.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

using namespace apprun;

namespace {

void WriteFixture(const std::wstring& path, size_t size)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    std::string bytes(size, 'x');
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    SYSTEMTIME local = {2016, 7, 0, 3, 12, 30, 0, 0};
    FILETIME localTime, utc;
    ::SystemTimeToFileTime(&local, &localTime);
    ::LocalFileTimeToFileTime(&localTime, &utc);
    ::SetFileTime(file, nullptr, nullptr, &utc);
    ::CloseHandle(file);
}

class AppRoadLocalPanes : public AppRoadTest {
protected:
    void SetUp() override
    {
        AppRoadTest::SetUp();
        m_folder = MakeDocumentsFolder(L"Road local " + std::to_wstring(::GetCurrentProcessId()));
        ::CreateDirectoryW((m_folder + L"\\보고서").c_str(), nullptr);
        WriteFixture(m_folder + L"\\plan.txt", 1536);
        WriteFixture(m_folder + L"\\data.bin", 3 * 1048576 + 10);
    }
    void TearDown() override
    {
        AppRoadTest::TearDown();
        testpaths::RemoveTree(m_folder);
    }

    // Logs in with the scratch folder as the last local path; the list of the shown pane.
    HWND LogInShowingTheFolder(unsigned short language, HWND& frame, HWND& tree)
    {
        frame = LaunchShowing(language, m_folder);
        if (!frame)
            return nullptr;
        const MainPanes panes = PanesOf(frame);
        tree = panes.localTree;
        HWND list = panes.localList;
        uitest::WaitUntil([&] { return list && ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 3; }, 20000);
        return list;
    }
    std::vector<std::wstring> Row(HWND list, int row)
    {
        std::vector<std::wstring> cells;
        for (int column = 0; column < 4; ++column)
            cells.push_back(RemoteListText(list, row, column));
        return cells;
    }

    std::wstring m_folder;
};

}

TEST_F(AppRoadLocalPanes, TheLowerPanesShowTheLastLocalFolderWithKoreanSizeAndDateTexts)
{
    HWND frame = nullptr, tree = nullptr;
    HWND list = LogInShowingTheFolder(LANG_KOREAN, frame, tree);
    ASSERT_NE(nullptr, frame) << "the main window did not appear";
    ASSERT_NE(nullptr, tree) << "no local tree";
    ASSERT_NE(nullptr, list) << "no local list";
    EXPECT_GT(::SendMessageW(tree, TVM_GETCOUNT, 0, 0), 3) << "the tree shows too little of the namespace";
    ASSERT_EQ(3, ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    // The folder comes first and has no size.
    EXPECT_EQ(std::wstring(L"보고서"), RemoteListText(list, 0, 0));
    EXPECT_EQ(std::wstring(L""), RemoteListText(list, 0, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"data.bin", L"3,072KB", RemoteListText(list, 1, 2), L"2016-07-03 오후 12:30"}),
              Row(list, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"plan.txt", L"2KB", RemoteListText(list, 2, 2), L"2016-07-03 오후 12:30"}),
              Row(list, 2));
    uitest::SaveScreenPng(testpaths::ScratchDir(L"AppRoadLocalPanes") + L"\\korean.png");
    ASSERT_TRUE(ExitFromTray());
    // The local tree's selection is the last local path of the next log-in.
    CString server, local;
    ASSERT_TRUE(CToviRegistry::GetLastFullPath(server, local));
    EXPECT_EQ(0, local.CompareNoCase(m_folder.c_str())) << local.GetString();
}

TEST_F(AppRoadLocalPanes, InEnglishTheDatesReadDayMonthYear)
{
    HWND frame = nullptr, tree = nullptr;
    HWND list = LogInShowingTheFolder(LANG_ENGLISH, frame, tree);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(3, ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(std::wstring(L"03/07/2016 PM 12:30"), RemoteListText(list, 2, 3));
    EXPECT_EQ(std::wstring(L"plan.txt"), RemoteListText(list, 2, 0));
    uitest::SaveScreenPng(testpaths::ScratchDir(L"AppRoadLocalPanesEnglish") + L"\\english.png");
    ASSERT_TRUE(ExitFromTray());
}

TEST_F(AppRoadLocalPanes, StoredColumnWidthsAndSortApplyOnlyWhenTheyHaveTheirSize)
{
    const wchar_t kProfile[] = L"Software\\로컬 응용 프로그램 마법사에서 생성된 응용 프로그램\\CorvaneIXO\\CorvaneIXO";
    struct Case {
        std::vector<int> widths, sort;
        std::vector<int> expectedWidths;
        std::vector<std::wstring> expectedOrder;
    };
    const Case cases[] = {
        // Short values: the defaults, never a read past their end.
        {{300, 90}, {1}, {250, 80, 160, 142}, {L"보고서", L"data.bin", L"plan.txt"}},
        {{300, 90, 170, 150}, {1, 0}, {300, 90, 170, 150}, {L"보고서", L"plan.txt", L"data.bin"}},
    };
    for (const Case& c : cases) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, kProfile, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                                   nullptr));
        ::RegSetValueExW(key, L"ClientColumnSize", 0, REG_BINARY, reinterpret_cast<const BYTE*>(c.widths.data()),
                         static_cast<DWORD>(c.widths.size() * sizeof(int)));
        ::RegSetValueExW(key, L"ClientSort", 0, REG_BINARY, reinterpret_cast<const BYTE*>(c.sort.data()),
                         static_cast<DWORD>(c.sort.size() * sizeof(int)));
        ::RegCloseKey(key);
        HWND frame = nullptr, tree = nullptr;
        HWND list = LogInShowingTheFolder(LANG_KOREAN, frame, tree);
        ASSERT_NE(nullptr, list);
        std::vector<int> widths;
        for (int column = 0; column < 4; ++column)
            widths.push_back(static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)));
        EXPECT_EQ(c.expectedWidths, widths) << c.widths.size() * 4 << " bytes stored";
        std::vector<std::wstring> order;
        for (int row = 0; row < 3; ++row)
            order.push_back(RemoteListText(list, row, 0));
        EXPECT_EQ(c.expectedOrder, order) << c.sort.size() * 4 << " bytes stored";
        ASSERT_TRUE(ExitFromTray());
        // Closing saves the widths again, whole.
        int saved[4] = {};
        DWORD size = sizeof saved;
        EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_CURRENT_USER, kProfile, L"ClientColumnSize", RRF_RT_REG_BINARY,
                                                nullptr, saved, &size));
        EXPECT_EQ(sizeof saved, size);
        EXPECT_EQ(c.expectedWidths, std::vector<int>(saved, saved + 4));
        ::CloseHandle(m_process.hProcess);
        ::CloseHandle(m_process.hThread);
        m_process = {};
    }
}
