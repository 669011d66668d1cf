// Helpers of the sharing dialogs.
#include "ShareCommon.h"
#include "Dc.h"
#include <commctrl.h>
#include "DialogKit.h"
#include "ToviMsg.h"
#include "ToviString.h"
#include "VantelDialog.h"
#include <cstdio>
#include <cstdlib>
#include <string>

namespace share {

void SetTexts(CWnd* dialog, std::initializer_list<std::pair<int, unsigned>> texts)
{
    for (const auto& [id, text] : texts)
        ::SetDlgItemTextW(dialog->GetSafeHwnd(), id, CToviString::GetString(text).GetString());
}

void Refuse(CWnd* dialog, unsigned messageId, int focusId, bool empty)
{
    HWND wnd = dialog->GetSafeHwnd();
    dialogkit::MessageBox(wnd, CToviMsg::GetString(messageId), MB_ICONEXCLAMATION);
    if (empty)
        ::SetDlgItemTextW(wnd, focusId, L"");
    ::SetFocus(::GetDlgItem(wnd, focusId));
}

RECT ItemRect(HWND dialog, int id)
{
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveItem(HWND dialog, int id, int left, int top, int width, int height)
{
    ::MoveWindow(::GetDlgItem(dialog, id), left, top, width, height, TRUE);
}

int TextWidth(HWND control)
{
    const int length = ::GetWindowTextLengthW(control);
    if (length <= 0)
        return 0;
    std::wstring text(length + 1, L'\0');
    text.resize(::GetWindowTextW(control, &text[0], length + 1));
    HDC dc = ::GetDC(control);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size.cx;
}

namespace {
bool IsCheckOrRadio(HWND control)
{
    wchar_t cls[16] = {};
    ::GetClassNameW(control, cls, 16);
    if (_wcsicmp(cls, L"Button") != 0)
        return false;
    const LONG type = ::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
           type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

bool IsIconStatic(HWND control)
{
    wchar_t cls[16] = {};
    ::GetClassNameW(control, cls, 16);
    return _wcsicmp(cls, L"Static") == 0 && (::GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}
}

int FitToText(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    const RECT rect = ItemRect(dialog, id);
    // A little slack keeps the last letter clear of the edge whatever the font's overhang.
    const int width = TextWidth(control) + (IsCheckOrRadio(control) ? kCheckRoom : 4);
    ::MoveWindow(control, rect.left, rect.top, width, rect.bottom - rect.top, TRUE);
    return width;
}

int FitRow(HWND dialog, int left, std::initializer_list<RowItem> items)
{
    int x = left;
    bool first = true;
    for (const RowItem& item : items) {
        HWND control = ::GetDlgItem(dialog, item.id);
        if (!control || !(::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE))
            continue;
        if (!first)
            x += item.gap;
        first = false;
        const RECT rect = ItemRect(dialog, item.id);
        const int width = IsIconStatic(control) ? 16 : FitToText(dialog, item.id);
        const int height = IsIconStatic(control) ? 16 : rect.bottom - rect.top;
        ::MoveWindow(control, x, rect.top, width, height, TRUE);
        x += width;
    }
    return x;
}

void FollowLabel(HWND dialog, int labelId, int controlId, bool keepWidth)
{
    const RECT label = ItemRect(dialog, labelId);
    const int left = label.left + FitToText(dialog, labelId) + kLabelGap;
    const RECT rect = ItemRect(dialog, controlId);
    const int width = keepWidth ? rect.right - rect.left : rect.right - left;
    MoveItem(dialog, controlId, left, rect.top, width, rect.bottom - rect.top);
}

bool ShowPeriod(HWND dialog, int fromId, int toId, const char* from, const char* to)
{
    SYSTEMTIME first = {}, last = {};
    if (!ParseDate(from, &first) || !ParseDate(to, &last))
        return false;
    DateTime_SetSystemtime(::GetDlgItem(dialog, fromId), GDT_VALID, &first);
    DateTime_SetSystemtime(::GetDlgItem(dialog, toId), GDT_VALID, &last);
    return true;
}

bool ReadPeriod(HWND dialog, int fromId, int toId, char (&from)[11], char (&to)[11])
{
    SYSTEMTIME first = {}, last = {};
    DateTime_GetSystemtime(::GetDlgItem(dialog, fromId), &first);
    DateTime_GetSystemtime(::GetDlgItem(dialog, toId), &last);
    if (DayNumber(first) > DayNumber(last)) {
        dialogkit::MessageBox(dialog, CToviMsg::GetString(12104), MB_ICONEXCLAMATION);
        return false;
    }
    FormatDate(first, from);
    FormatDate(last, to);
    return true;
}

bool ParseDate(const char* text, SYSTEMTIME* date)
{
    int year = 0, month = 0, day = 0;
    if (!text || strlen(text) < 10 || sscanf(text, "%4d-%2d-%2d", &year, &month, &day) != 3)
        return false;
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    *date = SYSTEMTIME{};
    date->wYear = static_cast<WORD>(year);
    date->wMonth = static_cast<WORD>(month);
    date->wDay = static_cast<WORD>(day);
    return true;
}

void FormatDate(const SYSTEMTIME& date, char (&text)[11])
{
    snprintf(text, sizeof text, "%04d-%02d-%02d", date.wYear % 10000, date.wMonth % 100, date.wDay % 100);
}

long DayNumber(const SYSTEMTIME& date)
{
    return date.wYear * 400L + date.wMonth * 32L + date.wDay;
}

HBRUSH PanelCtlColor(HDC dc, UINT ctlColor)
{
    if (ctlColor != CTLCOLOR_STATIC && ctlColor != CTLCOLOR_BTN)
        return nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, RGB(255, 255, 255));
    return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

BOOL PaintPanels(CVantelDialog* dialog, CDC* pDC, const std::vector<int>& frames, const std::vector<int>& lines)
{
    HWND wnd = dialog->GetSafeHwnd();
    CRect client;
    ::GetClientRect(wnd, &client);
    HDC screen = pDC->GetSafeHdc();
    CDC mem;
    mem.Attach(CreateCompatibleDC(screen));
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.Width(), client.Height());
    HGDIOBJ oldBitmap = SelectObject(mem.GetSafeHdc(), bitmap);
    dialog->DrawBkgnd(&mem, client);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(217, 217, 217));
    HGDIOBJ oldPen = SelectObject(mem.GetSafeHdc(), pen);
    HGDIOBJ oldBrush = SelectObject(mem.GetSafeHdc(), GetStockObject(WHITE_BRUSH));
    for (int id : frames) {
        HWND frame = ::GetDlgItem(wnd, id);
        if (!frame)
            continue;
        RECT rect;
        ::GetWindowRect(frame, &rect);
        ::MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&rect), 2);
        RoundRect(mem.GetSafeHdc(), rect.left, rect.top, rect.right, rect.bottom, 7, 7);
    }
    for (int id : lines) {
        HWND line = ::GetDlgItem(wnd, id);
        if (!line)
            continue;
        RECT rect;
        ::GetWindowRect(line, &rect);
        ::MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&rect), 2);
        MoveToEx(mem.GetSafeHdc(), rect.left, rect.top, nullptr);
        LineTo(mem.GetSafeHdc(), rect.right, rect.top);
    }
    SelectObject(mem.GetSafeHdc(), oldBrush);
    SelectObject(mem.GetSafeHdc(), oldPen);
    DeleteObject(pen);
    BitBlt(screen, 0, 0, client.Width(), client.Height(), mem.GetSafeHdc(), 0, 0, SRCCOPY);
    SelectObject(mem.GetSafeHdc(), oldBitmap);
    DeleteObject(bitmap);
    return TRUE;
}

}

#include "ToviProto.h"
#include "WinThread.h"

namespace share {

void SessionBlock::CopyFrom(const CToviProto& session)
{
    memcpy(szSessionId, session.LoginInfo.SessionId, sizeof szSessionId);
    memcpy(szHost, session.ServerAddress.szHost, sizeof szHost);
    strHost = CString(session.ServerAddress.szHost);
    nPort = session.ServerAddress.nPort;
    memcpy(szSecureCode, session.ServerAddress.szCode, sizeof szSecureCode);
    memcpy(szConnectTimeout, session.ConnectTimeout, sizeof szConnectTimeout);
    memcpy(szSocketTimeout, session.SocketTimeout, sizeof szSocketTimeout);
}

void SessionBlock::CopyTo(CToviProto& own) const
{
    memcpy(own.LoginInfo.SessionId, szSessionId, sizeof szSessionId);
    memcpy(own.ServerAddress.szHost, szHost, sizeof szHost);
    own.ServerAddress.strCallerText = strHost;
    own.ServerAddress.nPort = nPort;
    memcpy(own.ServerAddress.szCode, szSecureCode, sizeof szSecureCode);
    memcpy(own.ConnectTimeout, szConnectTimeout, sizeof szConnectTimeout);
    memcpy(own.SocketTimeout, szSocketTimeout, sizeof szSocketTimeout);
}

bool RunWorker(UINT (*proc)(LPVOID), LPVOID param)
{
    CWinThread* thread = AfxBeginThread(proc, param, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread)
        return false;
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    for (;;) {
        DWORD code = 0;
        if (!GetExitCodeThread(thread->m_hThread, &code) || code != STILL_ACTIVE)
            break;
        if (WaitForSingleObject(thread->m_hThread, 10) == WAIT_OBJECT_0)
            break;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    WaitForSingleObject(thread->m_hThread, INFINITE);
    delete thread;
    return true;
}

}
