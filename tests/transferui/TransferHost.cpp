// What the upload and download tests' hosts share.
#include <winsock2.h>
#include "TransferHost.h"
#include "Library.h"
#include "ToviRegistry.h"
#include "TransferDlg.h"
#include <commctrl.h>
#include <mutex>

namespace transfertest {

namespace {

const wchar_t kProductKey[] = L"Software\\Varivivod\\VariruDAD";
// What the windows' language and face are chosen by; other test programs find them as they were.
const wchar_t* const kSavedValues[] = {L"Language", L"DialogFont"};

TaskbarLog g_taskbar;
std::mutex g_wakeLock;
std::vector<EXECUTION_STATE> g_wake;

class RecordingTaskbar : public CTransferTaskbar {
public:
    void SetProgressState(HWND, State state) override
    {
        if (state == kError)
            ++g_taskbar.errors;
    }
    void SetProgressValue(HWND, ULONGLONG done, ULONGLONG) override { g_taskbar.lastValue = done; }
    void SetOverlayIcon(HWND, HICON, const wchar_t*) override {}
    void SetThumbnailTooltip(HWND, const wchar_t*) override {}
    void Flash(HWND, bool start) override
    {
        if (start)
            ++g_taskbar.flashes;
    }
};

CTransferTaskbar* MakeRecordingTaskbar()
{
    return new RecordingTaskbar();
}

EXECUTION_STATE WINAPI RecordWake(EXECUTION_STATE state)
{
    std::lock_guard<std::mutex> lock(g_wakeLock);
    g_wake.push_back(state);
    return ES_CONTINUOUS;
}

}

TaskbarLog& Taskbar()
{
    return g_taskbar;
}

std::vector<EXECUTION_STATE> WakeCalls()
{
    std::lock_guard<std::mutex> lock(g_wakeLock);
    return g_wake;
}

std::string Utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], n);
    return out;
}

void TransferHost::SetUp()
{
    RoadTest::SetUp();
    ASSERT_TRUE(ToviInterfaceInit());
    g_taskbar.errors = 0;
    g_taskbar.flashes = 0;
    g_taskbar.lastValue = 0;
    {
        std::lock_guard<std::mutex> lock(g_wakeLock);
        g_wake.clear();
    }
    CTransferTaskbar::s_pfnCreate = MakeRecordingTaskbar;
    CTransferDlg::s_pfnExecutionState = RecordWake;
    for (const wchar_t* name : kSavedValues) {
        wchar_t text[256] = {};
        DWORD size = sizeof text;
        if (RegGetValueW(HKEY_CURRENT_USER, kProductKey, name, RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS)
            m_savedValues[name] = text;
    }
    UseLanguage(9);
}

void TransferHost::TearDown()
{
    m_ui.Run([this] {
        if (IsWindow(m_owner))
            DestroyWindow(m_owner);
    });
    for (const wchar_t* name : kSavedValues) {
        const auto saved = m_savedValues.find(name);
        if (saved == m_savedValues.end())
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kProductKey, name);
        else
            RegSetKeyValueW(HKEY_CURRENT_USER, kProductKey, name, REG_SZ, saved->second.c_str(),
                            static_cast<DWORD>((saved->second.size() + 1) * sizeof(wchar_t)));
    }
    ToviInterfaceTerm();
    RoadTest::TearDown();
}

void TransferHost::UseLanguage(unsigned short language)
{
    // The language lives in the product's key, which an installed product has.
    HKEY product = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Varivivod\\VariruDAD", 0, nullptr, 0, KEY_WRITE, nullptr, &product,
                    nullptr);
    if (product)
        RegCloseKey(product);
    EXPECT_TRUE(CToviRegistry::SetLanguage(0, language));
    // The log-in stores the language's dialog face with it; windows opened without one draw
    // Hangul as boxes.
    EXPECT_TRUE(CToviRegistry::SetDialogFont(0, language == LANG_ENGLISH ? L"tahoma" : L"\xAD74\xB9BC"));
    unsigned short stored = 0;
    EXPECT_TRUE(CToviRegistry::GetLanguage(0, &stored));
    EXPECT_EQ(language, stored);
}

void TransferHost::CreateOwner(WNDPROC proc, const wchar_t* className)
{
    m_ui.Run([this, proc, className] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    });
    ASSERT_NE(nullptr, m_owner);
}

std::vector<Row> TransferHost::ListRows(HWND window, int listId)
{
    std::vector<Row> rows;
    HWND list = GetDlgItem(window, listId);
    if (!list)
        return rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        Row row;
        for (int column : {0, 2}) {
            wchar_t text[512] = {};
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 512;
            SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            (column == 0 ? row.name : row.status) = text;
        }
        rows.push_back(row);
    }
    return rows;
}

std::wstring TransferHost::ButtonText(HWND window, int id)
{
    return window ? uitest::GetText(GetDlgItem(window, id)) : std::wstring();
}

PromptAnswerer::PromptAnswerer(int buttonId, bool applyAll) : m_button(buttonId), m_applyAll(applyAll)
{
    m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

PromptAnswerer::~PromptAnswerer()
{
    m_stop = true;
    WaitForSingleObject(m_thread, 5000);
    CloseHandle(m_thread);
}

DWORD WINAPI PromptAnswerer::Run(LPVOID param)
{
    PromptAnswerer* self = static_cast<PromptAnswerer*>(param);
    while (!self->m_stop) {
        HWND prompt = FindWindowW(L"#32770", L"Corvane IXO FileDuplicateDlg");
        if (prompt && IsWindowVisible(prompt)) {
            Sleep(50);
            if (self->m_applyAll)
                SendMessageW(GetDlgItem(prompt, 10019), BM_SETCHECK, BST_CHECKED, 0);
            uitest::ClickButton(prompt, self->m_button);
            ++self->m_count;
            uitest::WaitForWindowGone(prompt, 3000);
        }
        Sleep(20);
    }
    return 0;
}

}
