// The backup policy editor created from its template and driven as a user drives it, with the
// folders chosen in the real folder selection tree: what it stores where the backup reads
// policies, what it refuses, editing, the schedule controls, and screenshots in Korean and
// English in the scratch folder.
#include "AutoAnswer.h"
#include "BackupPolicyDlg.h"
#include "TreeDriver.h"
#include "FolderTreeSteps.h"
#include "Library.h"
#include "PixelCapture.h"
#include "TestPaths.h"
#include "ToviTextLanguage.h"
#include "UiThread.h"
#include "WinThread.h"
#include "WindowDriver.h"
#include <commctrl.h>
#include "../backup/BackupTitles.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

const wchar_t kPolicyRoot[] = L"Software\\Varivivod\\VariruDADBackup\\Policy";
const wchar_t kMessageBox[] = L"Corvane IXO MessageBox";

// Wednesday 9 December 2026, 10:00:00.
void WINAPI FixedClock(LPSYSTEMTIME t)
{
    *t = {};
    t->wYear = 2026;
    t->wMonth = 12;
    t->wDay = 9;
    t->wDayOfWeek = 3;
    t->wHour = 10;
}

std::string Utf8(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(n - 1);
    return out;
}

void DeleteKeyTree(HKEY parent, const std::wstring& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    wchar_t child[256];
    for (;;) {
        DWORD size = 256;
        if (RegEnumKeyExW(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        DeleteKeyTree(key, child);
    }
    RegCloseKey(key);
    RegDeleteKeyW(parent, name.c_str());
}

// A value of a policy key as text ("<none>" when missing; DWORDs in decimal).
std::wstring Value(const std::wstring& id, const wchar_t* name, const wchar_t* sub = nullptr)
{
    std::wstring path = std::wstring(kPolicyRoot) + L"\\" + id;
    if (sub)
        path += std::wstring(L"\\") + sub;
    BYTE data[4096] = {};
    DWORD type = 0, size = sizeof data - 2;
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS)
        return L"<none>";
    if (type == REG_DWORD)
        return std::to_wstring(*reinterpret_cast<DWORD*>(data));
    return reinterpret_cast<wchar_t*>(data);
}

bool PolicyExists(const std::wstring& id)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kPolicyRoot) + L"\\" + id).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring ListText(HWND list, int row)
{
    wchar_t text[300] = {};
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 300;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

class BackupPolicyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ToviInterfaceInit());
        ui.SetPreTranslate(&AfxPreTranslateMessage);
        DeleteKeyTree(HKEY_CURRENT_USER, kPolicyRoot);
        m_scratch = testpaths::ScratchDir(L"backup-policy");
        for (const wchar_t* dir : {L"\\Data", L"\\Data\\Work", L"\\Other", L"\\Third"})
            CreateDirectoryW((m_scratch + dir).c_str(), nullptr);
    }
    void TearDown() override
    {
        DeleteKeyTree(HKEY_CURRENT_USER, kPolicyRoot);
        ToviInterfaceTerm();
    }

    struct Run {
        std::shared_ptr<uitest::UiTask> task;
        HWND dlg = nullptr;
        INT_PTR answer = 0;
        std::wstring id;
    };
    unsigned short m_language = LANG_KOREAN;
    void Open(Run& run, bool edit = false, const std::wstring& id = L"", unsigned short language = LANG_KOREAN)
    {
        m_language = language;
        run.task = ui.Post([&run, edit, id, language] {
            CToviTextLanguage::SetThreadLanguage(language);
            CBackupPolicyDlg dlg;
            dlg.m_pfnLocalTime = &FixedClock;
            dlg.m_bEditMode = edit;
            dlg.m_strPolicyID = id.c_str();
            run.answer = dlg.DoModal();
            run.id = dlg.m_strPolicyID.GetString();
        });
        const bool english = language == LANG_ENGLISH;
        run.dlg = uitest::WaitForDialog(edit ? (english ? L"Edit Backup" : L"백업 수정")
                                             : (english ? L"New Backup" : L"백업 생성"),
                                        10000);
        ASSERT_NE(nullptr, run.dlg);
    }
    void Fill(HWND dlg, const std::wstring& name, const std::wstring& desc)
    {
        uitest::SetText(GetDlgItem(dlg, 10209), name);
        uitest::SetText(GetDlgItem(dlg, 10210), desc);
    }
    // A mouse click in the middle of a control (the check box, the label beside it).
    void ClickCentre(HWND dlg, int id)
    {
        HWND control = GetDlgItem(dlg, id);
        RECT rc;
        GetClientRect(control, &rc);
        uitest::ClickWithMouse(control, {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
        uitest::PumpMessages();
    }
    // A choice in a drop-down list, told to the dialog as the list tells it.
    void Pick(HWND dlg, int id, int index)
    {
        HWND combo = GetDlgItem(dlg, id);
        SendMessageW(combo, CB_SETCURSEL, index, 0);
        SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    void SetTime(HWND dlg, int id, WORD hour, WORD minute)
    {
        SYSTEMTIME t = {};
        FixedClock(&t);
        t.wHour = hour;
        t.wMinute = minute;
        SendMessageW(GetDlgItem(dlg, id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&t));
    }
    // Opens the folder selection with the editor's button, checks the folders and presses OK
    // (or Cancel).
    void ChooseFolders(HWND dlg, const std::vector<std::wstring>& folders, int button = IDOK)
    {
        ASSERT_TRUE(uitest::ClickButton(dlg, 10211));
        HWND select = uitest::WaitForDialog(m_language == LANG_ENGLISH ? L"Folders" : L"폴더 설정", 10000);
        ASSERT_NE(nullptr, select);
        HWND tree = GetDlgItem(select, 10222);
        for (const std::wstring& folder : folders) {
            HTREEITEM item = foldertree::Reveal(tree, folder);
            ASSERT_NE(nullptr, item) << Utf8(folder);
            ASSERT_TRUE(uitest::TreeClickCheckBox(tree, item));
            ASSERT_TRUE(uitest::WaitUntil([&] { return uitest::TreeIsChecked(tree, item); }));
        }
        m_lastTreePaths.clear();
        for (const std::wstring& folder : folders)
            m_lastTreePaths.push_back(foldertree::TreePathOf(tree, folder));
        ASSERT_TRUE(uitest::ClickButton(select, button));
        ASSERT_TRUE(uitest::WaitForWindowGone(select));
    }
    std::vector<std::wstring> Rows(HWND dlg)
    {
        HWND list = GetDlgItem(dlg, 10060);
        std::vector<std::wstring> rows;
        const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            rows.push_back(ListText(list, i));
        return rows;
    }
    void StorePolicy(const std::wstring& id, const std::wstring& name, const std::vector<std::wstring>& folders, int overwrite)
    {
        CFolderPathMap map;
        for (const std::wstring& f : folders) {
            _FOLDER_PATH_INFO info = {};
            wcsncpy(info.TreePath, (L"Desktop/" + f).c_str(), 259);
            wcsncpy(info.FullPath, f.c_str(), 259);
            map[CString(f.c_str())] = info;
        }
        ASSERT_TRUE(CToviRegistry::SetBackupPolicy(id.c_str(), name.c_str(), L"stored", L"2020-01-01 00:00:00", map, overwrite));
    }

    uitest::UiThread ui;
    std::wstring m_scratch;
    std::vector<std::wstring> m_lastTreePaths;
};

// The very first policy, with folders from the tree, a weekly schedule and an overwrite mode:
// every value where the backup reads it.
TEST_F(BackupPolicyTest, ANewPolicyIsStoredAsTheBackupReadsIt)
{
    Run run;
    Open(run);
    Fill(run.dlg, L"문서 백업", L"매주 문서");
    const std::wstring data = m_scratch + L"\\Data", other = m_scratch + L"\\Other";
    ChooseFolders(run.dlg, {other, data});
    EXPECT_EQ((std::vector<std::wstring>{data, other}), Rows(run.dlg));
    Pick(run.dlg, 10212, 1);
    EXPECT_EQ(L"즉시 실행", uitest::GetText(GetDlgItem(run.dlg, 10220)));
    ClickCentre(run.dlg, 10227);
    EXPECT_EQ(L"확인", uitest::GetText(GetDlgItem(run.dlg, 10220)));
    Pick(run.dlg, 10217, 2);
    Pick(run.dlg, 10218, 1);
    SetTime(run.dlg, 10073, 9, 0);
    ASSERT_TRUE(uitest::ClickButton(run.dlg, 10220));
    ASSERT_TRUE(run.task->Wait());
    EXPECT_EQ(IDOK, run.answer);

    const std::wstring id = L"20261209100000";
    EXPECT_EQ(id, run.id);
    EXPECT_EQ(L"문서 백업", Value(id, L"PolicyName"));
    EXPECT_EQ(L"매주 문서", Value(id, L"PolicyDesc"));
    EXPECT_EQ(L"2026-12-09 10:00:00", Value(id, L"CreateTime"));
    EXPECT_EQ(L"1", Value(id, L"OverWrite"));
    EXPECT_EQ(data, Value(id, L"FullPath", L"Path[00]"));
    EXPECT_EQ(m_lastTreePaths[1], Value(id, L"TreePath", L"Path[00]"));
    EXPECT_EQ(other, Value(id, L"FullPath", L"Path[01]"));
    EXPECT_EQ(m_lastTreePaths[0], Value(id, L"TreePath", L"Path[01]"));
    EXPECT_EQ(L"1", Value(id, L"Reservation"));
    EXPECT_EQ(L"2", Value(id, L"BackupCycle"));
    EXPECT_EQ(L"1", Value(id, L"BackupDayOfTheWeek"));
    EXPECT_EQ(L"09:00:00", Value(id, L"BackupTime"));
    EXPECT_EQ(L"<none>", Value(id, L"BackupDate"));
    // Saved on a Wednesday for Monday: five days later.
    EXPECT_EQ(L"2026-12-14 09:00:00", Value(id, L"NextBackupTime"));

    // The store reads it back as the backup worker will.
    _BACKUP_POLICY_INFO policy = {};
    CFolderPathMap folders;
    int overwrite = -1;
    ASSERT_TRUE(CToviRegistry::GetBackupPolicy(id.c_str(), &policy, folders, &overwrite));
    EXPECT_EQ(2u, folders.size());
    EXPECT_EQ(1, overwrite);
}

// Each kind of schedule, chosen in the editor on the fixed Wednesday at 10:00, is stored with
// the values the schedule reads and its first run.
TEST_F(BackupPolicyTest, EachScheduleKindIsStoredWithItsFirstRun)
{
    const struct Row {
        int kind;
        WORD hour;
        const wchar_t* date;        // what is stored as BackupDate
        const wchar_t* weekday;
        const wchar_t* next;
    } rows[] = {
        {0, 9, L"2026-12-24", L"<none>", L"2026-12-24 09:00:00"},
        {1, 9, L"<none>", L"<none>", L"2026-12-10 09:00:00"},
        {1, 11, L"<none>", L"<none>", L"2026-12-09 11:00:00"},
        {2, 9, L"<none>", L"5", L"2026-12-11 09:00:00"},
        {3, 9, L"31", L"<none>", L"2026-12-31 09:00:00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        DeleteKeyTree(HKEY_CURRENT_USER, kPolicyRoot);
        Run run;
        Open(run);
        Fill(run.dlg, L"kinds", L"d");
        ChooseFolders(run.dlg, {m_scratch + L"\\Data"});
        ClickCentre(run.dlg, 10227);
        Pick(run.dlg, 10217, row.kind);
        if (row.kind == 0) {
            SYSTEMTIME day = {};
            day.wYear = 2026;
            day.wMonth = 12;
            day.wDay = 24;
            SendDlgItemMessageW(run.dlg, 10072, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day));
        }
        if (row.kind == 2)
            Pick(run.dlg, 10218, 5);
        if (row.kind == 3)
            Pick(run.dlg, 10219, 30);
        SetTime(run.dlg, 10073, row.hour, 0);
        ASSERT_TRUE(uitest::ClickButton(run.dlg, 10220));
        ASSERT_TRUE(run.task->Wait());
        ASSERT_EQ(IDOK, run.answer);
        EXPECT_EQ(L"1", Value(run.id, L"Reservation"));
        EXPECT_EQ(std::to_wstring(row.kind), Value(run.id, L"BackupCycle"));
        EXPECT_EQ(row.date, Value(run.id, L"BackupDate"));
        EXPECT_EQ(row.weekday, Value(run.id, L"BackupDayOfTheWeek"));
        EXPECT_EQ(row.next, Value(run.id, L"NextBackupTime"));
        // The store reads the schedule back as it was chosen.
        int reservation = 0, kind = -1, weekday = -1;
        CString date, time;
        ASSERT_TRUE(CToviRegistry::GetBackupCycle(run.id.c_str(), &reservation, &kind, date, &weekday, time));
        EXPECT_EQ(row.kind, kind);
        EXPECT_EQ(std::wstring(row.hour == 9 ? L"09:00:00" : L"11:00:00"), time.GetString());
    }
}

// Creating a policy in the same second as another (the id is the clock) keeps both.
TEST_F(BackupPolicyTest, APolicyMadeInTheSameSecondAsAnotherGetsAnIdOfItsOwn)
{
    StorePolicy(L"20261209100000", L"first", {m_scratch + L"\\Third"}, 0);
    Run run;
    Open(run);
    Fill(run.dlg, L"second", L"d");
    ChooseFolders(run.dlg, {m_scratch + L"\\Data"});
    ASSERT_TRUE(uitest::ClickButton(run.dlg, 10220));
    ASSERT_TRUE(run.task->Wait());
    EXPECT_EQ(L"20261209100001", run.id);
    EXPECT_EQ(L"second", Value(L"20261209100001", L"PolicyName"));
    EXPECT_EQ(L"first", Value(L"20261209100000", L"PolicyName"));
    EXPECT_EQ(m_scratch + L"\\Third", Value(L"20261209100000", L"FullPath", L"Path[00]"));
}

TEST_F(BackupPolicyTest, RefusedInputsShowTheirMessageAndTheEditorStays)
{
    StorePolicy(L"20200101000000", L"taken", {m_scratch + L"\\Third"}, 0);
    const struct Row {
        const wchar_t* name;
        const wchar_t* desc;
        bool folders;
        const wchar_t* message;
    } rows[] = {
        {L"", L"d", true, L"정책 이름을 입력하세요."},
        {L"taken", L"d", true, L"이미 등록된 정책 이름입니다."},
        {L"fresh", L"", true, L"정책 설명을 입력하세요."},
        {L"fresh", L"d", false, L"폴더를 설정하세요."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Utf8(row.message));
        Run run;
        Open(run);
        Fill(run.dlg, row.name, row.desc);
        if (row.folders)
            ChooseFolders(run.dlg, {m_scratch + L"\\Data"});
        {
            uitest::AutoAnswer boxes(kMessageBox, IDOK);
            ASSERT_TRUE(uitest::ClickButton(run.dlg, 10220));
            ASSERT_TRUE(boxes.WaitForCount(1));
            const auto seen = boxes.Seen();
            EXPECT_NE(seen[0].texts.end(), std::find(seen[0].texts.begin(), seen[0].texts.end(), std::wstring(row.message)));
        }
        if (!row.folders) {
            // After the message the folder selection opens.
            HWND select = uitest::WaitForDialog(m_language == LANG_ENGLISH ? L"Folders" : L"폴더 설정", 10000);
            ASSERT_NE(nullptr, select);
            ASSERT_TRUE(uitest::ClickButton(select, IDCANCEL));
            ASSERT_TRUE(uitest::WaitForWindowGone(select));
        }
        EXPECT_FALSE(run.task->Done());
        EXPECT_TRUE(IsWindow(run.dlg));
        ASSERT_TRUE(uitest::ClickButton(run.dlg, IDCANCEL));
        ASSERT_TRUE(run.task->Wait());
        EXPECT_EQ(IDCANCEL, run.answer);
        EXPECT_FALSE(PolicyExists(L"20261209100000"));
    }
}

// Enter in a field is not the save button: the editor stays, and nothing is stored or reported
// as saved.
TEST_F(BackupPolicyTest, EnterInAFieldNeitherSavesNorClosesTheEditor)
{
    Run run;
    Open(run);
    Fill(run.dlg, L"enter", L"d");
    ChooseFolders(run.dlg, {m_scratch + L"\\Data"});
    HWND name = GetDlgItem(run.dlg, 10209);
    SetFocus(name);
    ASSERT_TRUE(uitest::SendKey(name, VK_RETURN));
    uitest::WaitUntil([&] { return run.task->Done(); }, 1000);
    EXPECT_FALSE(run.task->Done());
    EXPECT_FALSE(PolicyExists(L"20261209100000"));
    ASSERT_TRUE(uitest::ClickButton(run.dlg, IDCANCEL));
    ASSERT_TRUE(run.task->Wait());
    EXPECT_EQ(IDCANCEL, run.answer);
}

// Editing shows the stored policy, keeps its id and name, writes a new creation time, clears
// the last run, and turning the schedule off removes it.
TEST_F(BackupPolicyTest, EditingKeepsTheIdAndNameAndClearsTheLastRun)
{
    const std::wstring id = L"20200101000000";
    StorePolicy(id, L"kept", {m_scratch + L"\\Data", m_scratch + L"\\Other"}, 2);
    ASSERT_TRUE(CToviRegistry::SetBackupCycle(id.c_str(), 1, 3, L"31", -1, L"08:30:00", L"2020-01-31 08:30:00"));
    ASSERT_TRUE(CToviRegistry::UpdateBackupInfo(id.c_str(), L"2020-01-31 08:30:00", L"1000", L"COMPLETE"));
    Run run;
    Open(run, true, id);
    HWND name = GetDlgItem(run.dlg, 10209);
    EXPECT_EQ(L"kept", uitest::GetText(name));
    EXPECT_TRUE(GetWindowLongW(name, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(L"stored", uitest::GetText(GetDlgItem(run.dlg, 10210)));
    EXPECT_EQ((std::vector<std::wstring>{m_scratch + L"\\Data", m_scratch + L"\\Other"}), Rows(run.dlg));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(run.dlg, 10211)));
    EXPECT_EQ(2, SendDlgItemMessageW(run.dlg, 10212, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(run.dlg, 10227));
    EXPECT_EQ(3, SendDlgItemMessageW(run.dlg, 10217, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(30, SendDlgItemMessageW(run.dlg, 10219, CB_GETCURSEL, 0, 0));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(run.dlg, 10219)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(run.dlg, 10072)));
    EXPECT_EQ(L"확인", uitest::GetText(GetDlgItem(run.dlg, 10220)));
    SYSTEMTIME at = {};
    SendDlgItemMessageW(run.dlg, 10073, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&at));
    EXPECT_EQ(8, at.wHour);
    EXPECT_EQ(30, at.wMinute);

    uitest::SetText(GetDlgItem(run.dlg, 10210), L"changed");
    ClickCentre(run.dlg, 10227);
    EXPECT_EQ(L"즉시 실행", uitest::GetText(GetDlgItem(run.dlg, 10220)));
    ASSERT_TRUE(uitest::ClickButton(run.dlg, 10220));
    ASSERT_TRUE(run.task->Wait());
    EXPECT_EQ(IDOK, run.answer);
    EXPECT_EQ(id, run.id);
    EXPECT_EQ(L"kept", Value(id, L"PolicyName"));
    EXPECT_EQ(L"changed", Value(id, L"PolicyDesc"));
    EXPECT_EQ(L"2026-12-09 10:00:00", Value(id, L"CreateTime"));
    EXPECT_EQ(L"2", Value(id, L"OverWrite"));
    for (const wchar_t* gone : {L"StartTime", L"TotalSize", L"BackupResult", L"BackupCycle", L"BackupDate", L"BackupTime"})
        EXPECT_EQ(L"<none>", Value(id, gone)) << Utf8(gone);
    EXPECT_EQ(L"0", Value(id, L"Reservation"));
    EXPECT_EQ(m_scratch + L"\\Other", Value(id, L"FullPath", L"Path[01]"));
}

// Each schedule kind lays out its own controls; the label toggles the check box as the box does.
TEST_F(BackupPolicyTest, TheScheduleControlsFollowTheCheckBoxAndTheKind)
{
    Run run;
    Open(run);
    HWND d = run.dlg;
    auto on = [d](int id) { return IsWindowEnabled(GetDlgItem(d, id)) != FALSE; };
    auto shown = [d](int id) { return IsWindowVisible(GetDlgItem(d, id)) != FALSE; };
    for (int id : {10213, 10217, 10216, 10073, 10214, 10072, 10215, 10218, 10219})
        EXPECT_FALSE(on(id)) << id;
    ClickCentre(d, 10147);
    ASSERT_TRUE(uitest::WaitUntil([d] { return IsDlgButtonChecked(d, 10227) == BST_CHECKED; }));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(d, 10227));
    const struct Row {
        int kind;
        bool datePicker, datePickerOn, dayCombo, dateLabelOn, weekdayOn;
    } rows[] = {
        {0, true, true, false, true, false},
        {1, true, false, false, false, false},
        {2, true, false, false, false, true},
        {3, false, false, true, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        Pick(d, 10217, row.kind);
        EXPECT_EQ(row.datePicker, shown(10072));
        if (row.datePicker) {
            EXPECT_EQ(row.datePickerOn, on(10072));
        }
        EXPECT_EQ(row.dayCombo, shown(10219));
        EXPECT_EQ(row.dayCombo, on(10219));
        EXPECT_EQ(row.dateLabelOn, on(10214));
        EXPECT_EQ(row.weekdayOn, on(10215));
        EXPECT_EQ(row.weekdayOn, on(10218));
        EXPECT_TRUE(on(10217) && on(10073));
    }
    // The day list stands where the date picker was.
    RECT day, date;
    GetWindowRect(GetDlgItem(d, 10219), &day);
    GetWindowRect(GetDlgItem(d, 10072), &date);
    EXPECT_EQ(date.left, day.left);
    EXPECT_EQ(date.top, day.top);
    ClickCentre(d, 10147);
    ASSERT_TRUE(uitest::WaitUntil([d] { return IsDlgButtonChecked(d, 10227) == BST_UNCHECKED; }));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(d, 10227));
    for (int id : {10213, 10217, 10216, 10073, 10214, 10219})
        EXPECT_FALSE(on(id)) << id;
    // The earliest date of a one-time run is today.
    SYSTEMTIME range[2] = {};
    const DWORD limits = static_cast<DWORD>(SendDlgItemMessageW(d, 10072, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
    EXPECT_TRUE(limits & GDTR_MIN);
    EXPECT_EQ(2026, range[0].wYear);
    EXPECT_EQ(9, range[0].wDay);
    ASSERT_TRUE(uitest::ClickButton(d, 10125));
    ASSERT_TRUE(run.task->Wait());
    EXPECT_EQ(IDCANCEL, run.answer);
    EXPECT_FALSE(PolicyExists(L"20261209100000"));
}

// Cancel in the folder selection leaves the editor's folders as they were.
TEST_F(BackupPolicyTest, CancellingTheFolderSelectionKeepsTheChosenFolders)
{
    Run run;
    Open(run);
    Fill(run.dlg, L"keep", L"d");
    ChooseFolders(run.dlg, {m_scratch + L"\\Data"});
    ChooseFolders(run.dlg, {m_scratch + L"\\Other"}, IDCANCEL);
    EXPECT_EQ(std::vector<std::wstring>{m_scratch + L"\\Data"}, Rows(run.dlg));
    ASSERT_TRUE(uitest::ClickButton(run.dlg, 10220));
    ASSERT_TRUE(run.task->Wait());
    EXPECT_EQ(m_scratch + L"\\Data", Value(run.id, L"FullPath", L"Path[00]"));
    EXPECT_EQ(L"<none>", Value(run.id, L"FullPath", L"Path[01]"));
    EXPECT_EQ(L"0", Value(run.id, L"Reservation"));
}

TEST_F(BackupPolicyTest, Screenshots)
{
    const std::wstring dir = testpaths::ScratchDir(L"backup-policy-shots");
    for (unsigned short language : {LANG_KOREAN, LANG_ENGLISH}) {
        Run run;
        Open(run, false, L"", language);
        Fill(run.dlg, L"문서 백업", L"매주 월요일 아침의 문서 백업");
        ChooseFolders(run.dlg, {m_scratch + L"\\Data", m_scratch + L"\\Other"});
        ClickCentre(run.dlg, 10227);
        Pick(run.dlg, 10217, 2);
        Pick(run.dlg, 10218, 1);
        EXPECT_TRUE(FontHasHangul(run.dlg));
        if (language == LANG_ENGLISH)
            EXPECT_EQ(std::vector<std::wstring>(), HangulLabels(run.dlg));
        EXPECT_TRUE(uitest::SavePng(uitest::CaptureWindow(run.dlg, 500),
                                    dir + (language == LANG_KOREAN ? L"\\backup-policy-ko.png" : L"\\backup-policy-en.png")));
        ASSERT_TRUE(uitest::ClickButton(run.dlg, IDCANCEL));
        ASSERT_TRUE(run.task->Wait());
    }
}

} // namespace
