// Single- and multi-line edit controls.
#include "Edit.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)

int CEdit::GetLine(int line, LPTSTR buffer, int maxLength) const
{
    ASSERT(::IsWindow(m_hWnd));
    if (buffer == nullptr || maxLength <= 0)
        return 0;
    // EM_GETLINE reads the buffer size from the buffer's first word, so a buffer of one
    // character can only ask for one.
    *reinterpret_cast<WORD*>(buffer) = static_cast<WORD>(maxLength > 0xFFFF ? 0xFFFF : maxLength);
    return static_cast<int>(::SendMessage(m_hWnd, EM_GETLINE, line, reinterpret_cast<LPARAM>(buffer)));
}

int CEdit::GetLine(int line, CString& text) const
{
    ASSERT(::IsWindow(m_hWnd));
    int start = LineIndex(line);
    if (start < 0) {
        text.Empty();
        return 0;
    }
    int length = LineLength(start);
    if (length <= 0) {
        text.Empty();
        return 0;
    }
    int copied = GetLine(line, text.GetBuffer(length), length);
    text.ReleaseBuffer(copied < length ? copied : length);
    return text.GetLength();
}
