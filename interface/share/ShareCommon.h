// Small helpers of the sharing dialogs: texts by id, dates on the wire, the panel background.
#pragma once
#include "Strings.h"
#include "ToviInterfaceApi.h"
#include <windows.h>
#include <cstring>
#include <initializer_list>
#include <vector>
#include <utility>

class CDC;
class CWnd;
class CVantelDialog;

namespace share {

// Copies a text into a record's field, cut to the field and always terminated.
template <size_t N>
void CopyText(char (&to)[N], const char* from)
{
    strncpy(to, from ? from : "", N - 1);
    to[N - 1] = 0;
}

// Sets each control's text from the string table.
void SetTexts(CWnd* dialog, std::initializer_list<std::pair<int, unsigned>> texts);
// A refused input: the message (exclamation icon), then the field emptied when asked and focused.
void Refuse(CWnd* dialog, unsigned messageId, int focusId, bool empty = false);
// Sets both date pickers from a stored period; false (pickers untouched) unless both texts are
// dates.
bool ShowPeriod(HWND dialog, int fromId, int toId, const char* from, const char* to);
// Reads both date pickers into wire dates; false after telling the user (12104) that the period
// ends before it starts. The same day twice is a period of one day.
bool ReadPeriod(HWND dialog, int fromId, int toId, char (&from)[11], char (&to)[11]);
// "yyyy-mm-dd" into a date; false when the text is not one.
bool ParseDate(const char* text, SYSTEMTIME* date);
// The date as "%04d-%02d-%02d" (11 bytes with the terminator).
void FormatDate(const SYSTEMTIME& date, char (&text)[11]);
// A number that orders calendar days.
long DayNumber(const SYSTEMTIME& date);
// Labels and check boxes on the white panels: transparent text on white.
HBRUSH PanelCtlColor(HDC dc, UINT ctlColor);
// The skinned background with white rounded panels where the hidden frames lie and a thin
// grey line along each hidden separator; TRUE.
BOOL PaintPanels(CVantelDialog* dialog, CDC* pDC, const std::vector<int>& frames,
                 const std::vector<int>& lines = {});

// Room a check box or radio button needs beside its text for its box.
const int kCheckRoom = 30;
// Gap between a label and the control after it.
const int kLabelGap = 10;
// A control's rectangle in its dialog's client coordinates.
RECT ItemRect(HWND dialog, int id);
void MoveItem(HWND dialog, int id, int left, int top, int width, int height);
// Width of a control's text in its own font, in pixels (0 without text).
int TextWidth(HWND control);
// Sizes a label or check box to its text (check boxes with room for their box); its width.
int FitToText(HWND dialog, int id);
// One control of a row: its id and the gap before it.
struct RowItem {
    int id;
    int gap;
};
// Lays the visible controls of a row out from left, each sized to its text (icons keep their
// size) and placed its gap after the one before; a hidden control leaves no gap. Each keeps
// its own top. The right edge of the last.
int FitRow(HWND dialog, int left, std::initializer_list<RowItem> items);
// Moves the control right to leave the gap after the label sized to its text, keeping its right
// edge (widths shrink) unless keepWidth.
void FollowLabel(HWND dialog, int labelId, int controlId, bool keepWidth = false);

}

class CToviProto;

namespace share {

// The caller's session that a dialog with its own protocol object copies into it.
struct TOVIINTERFACE_API SessionBlock {
    char szSessionId[33] = {};
    char szHost[128] = {};
    CString strHost;
    int nPort = -1;
    char szSecureCode[16] = {};
    char szConnectTimeout[5] = {};
    char szSocketTimeout[5] = {};

    void CopyFrom(const CToviProto& session);
    void CopyTo(CToviProto& own) const;
};

// Runs work on a worker thread and waits for it, dispatching this thread's messages meanwhile
// so that what the worker posts is shown during the wait. False when no thread could start.
bool RunWorker(UINT (*proc)(LPVOID), LPVOID param);

}
