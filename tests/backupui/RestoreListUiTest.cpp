// The restore list: restored items shown, a double-clicked row handed back, and the order
// of the comparison; screenshots in Korean and English in the scratch folder.
#include "Library.h"
#include "PixelCapture.h"
#include "RestoreListDlg.h"
#include "TestPaths.h"
#include "ToviTextLanguage.h"
#include "UiThread.h"
#include "WinThread.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <cstring>
#include <memory>

namespace {

_PROTO_FOLDER_INFO Item(const char* kind, const char* idx, const wchar_t* name, const wchar_t* path)
{
    _PROTO_FOLDER_INFO r = {};
    strcpy(r.ItemType, kind);
    strcpy(r.IDX, idx);
    strcpy(r.DIDX, "1");
    wcscpy(r.Name, name);
    wcscpy(r.Attr197, path);
    return r;
}

// A double click where the user would make it: the row's middle, or below the rows.
void DoubleClick(HWND list, int row)
{
    POINT at = {20, 0};
    if (row >= 0) {
        RECT r = {LVIR_BOUNDS};
        SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        at.y = (r.top + r.bottom) / 2;
    } else {
        RECT client;
        GetClientRect(list, &client);
        at.y = client.bottom - 5;
    }
    const LPARAM pos = MAKELPARAM(at.x, at.y);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, pos);
    SendMessageW(list, WM_LBUTTONUP, 0, pos);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, pos);
    SendMessageW(list, WM_LBUTTONUP, 0, pos);
}

class RestoreListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.SetPreTranslate(&AfxPreTranslateMessage);
        items = {Item("F", "31", L"report 10.doc", L"My Files/docs"), Item("D", "32", L"Photos", L"My Files"),
                 Item("F", "33", L"report 9.doc", L"My Files/docs")};
    }
    void TearDown() override { ToviInterfaceTerm(); }

    struct Result {
        int chosen = -1, isFile = -1;
        std::string idx;
        std::wstring path;
    };
    std::shared_ptr<uitest::UiTask> Open(Result& out, unsigned short language = LANG_ENGLISH)
    {
        return ui.Post([this, &out, language] {
            CToviTextLanguage::SetThreadLanguage(language);
            CRestoreListDlg dlg;
            dlg.m_vecItems = items;
            dlg.DoModal();
            out.chosen = dlg.m_nChosen;
            out.isFile = dlg.m_nIsFile;
            out.idx = dlg.m_szChosenIdx;
            out.path = dlg.m_strChosenPath.GetString();
        });
    }

    uitest::UiThread ui;
    std::vector<_PROTO_FOLDER_INFO> items;
};

TEST_F(RestoreListTest, ADoubleClickedRowIsHandedBack)
{
    const struct {
        int row;
        int isFile;
        const char* idx;
        const wchar_t* path;
    } rows[] = {{0, 1, "31", L"My Files/docs"}, {1, 0, "32", L"My Files"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.row);
        Result out;
        auto task = Open(out);
        HWND dlg = uitest::WaitForDialog(L"Restored Items");
        ASSERT_NE(nullptr, dlg);
        HWND list = GetDlgItem(dlg, 10095);
        ASSERT_EQ(3, ListView_GetItemCount(list));
        DoubleClick(list, row.row);
        ASSERT_TRUE(task->Wait());
        EXPECT_EQ(1, out.chosen);
        EXPECT_EQ(row.isFile, out.isFile);
        EXPECT_EQ(row.idx, out.idx);
        EXPECT_EQ(row.path, out.path);
    }
}

TEST_F(RestoreListTest, ClosingOrADoubleClickOffTheRowsChoosesNothing)
{
    for (int button : {IDOK, 10125}) {
        Result out;
        auto task = Open(out);
        HWND dlg = uitest::WaitForDialog(L"Restored Items");
        ASSERT_NE(nullptr, dlg);
        DoubleClick(GetDlgItem(dlg, 10095), -1);
        EXPECT_TRUE(IsWindow(dlg));
        ASSERT_TRUE(uitest::ClickButton(dlg, button));
        ASSERT_TRUE(task->Wait());
        EXPECT_EQ(0, out.chosen);
        EXPECT_EQ(L"", out.path);
    }
}

TEST_F(RestoreListTest, TheComparisonPutsFoldersFirstAndNumbersInNaturalOrder)
{
    _PROTO_FOLDER_INFO ten = Item("F", "1", L"report 10.doc", L""), nine = Item("F", "2", L"Report 9.doc", L""),
                       folder = Item("D", "3", L"zzz", L"");
    strcpy(ten.Attr192, "100");
    strcpy(nine.Attr192, "2000");
    auto cmp = [](const _PROTO_FOLDER_INFO& a, const _PROTO_FOLDER_INFO& b, LPARAM p) {
        return CRestoreListDlg::CompareFunc(reinterpret_cast<LPARAM>(&a), reinterpret_cast<LPARAM>(&b), p);
    };
    EXPECT_LT(cmp(nine, ten, 0x00001), 0);        // names ascending: 9 before 10, case ignored
    EXPECT_GT(cmp(nine, ten, 0x00000), 0);        // descending
    EXPECT_LT(cmp(folder, ten, 0x00000), 0);      // folders first in both directions
    EXPECT_LT(cmp(folder, ten, 0x00001), 0);
    EXPECT_GT(cmp(nine, ten, 0x10001), 0);        // size ascending: 2000 after 100
    EXPECT_EQ(0, cmp(nine, ten, 0x40000));
    EXPECT_EQ(-1, CRestoreListDlg::CompareFunc(0, reinterpret_cast<LPARAM>(&ten), 1));
}

TEST_F(RestoreListTest, Screenshots)
{
    const std::wstring dir = testpaths::ScratchDir(L"restore-list-shots");
    for (unsigned short language : {LANG_KOREAN, LANG_ENGLISH}) {
        Result out;
        auto task = Open(out, language);
        HWND dlg = uitest::WaitForWindow(L"#32770", nullptr);
        ASSERT_NE(nullptr, dlg);
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(dlg, 500),
                                    dir + (language == LANG_KOREAN ? L"\\restore-list-ko.png" : L"\\restore-list-en.png")));
        ASSERT_TRUE(uitest::ClickButton(dlg, IDOK));
        ASSERT_TRUE(task->Wait());
    }
}

} // namespace
