// The dialog kit that every window of the library uses: the skinned message box, button set-up,
// bold font, close-button placement, a dialog thread's steps and running work on a window's thread.
#pragma once
#include "Strings.h"
#include <windows.h>
#include <commctrl.h>
#include <functional>

class CWnd;
class CToviButton;
class CVantelDialog;
class CWinThread;

namespace dialogkit {

// The configured interface language for the calling thread: its locale and the texts' language.
void ApplyThreadLanguage();

// The skinned message box with the product's caption. On the owner's thread; owner may be null.
int MessageBox(HWND owner, const CString& text, UINT type);
// Subclasses the dialog's button id as a skinned button of that style with a text and an
// optional 16x16 icon (0: none).
void SkinButton(CToviButton& button, CWnd* dialog, UINT id, int style, const CString& text, UINT iconId);
// The steps of a thread that runs one window:
// The thread's run: the configured language, then the window modal as the thread's main window.
void RunWindowModal(CWinThread& thread, CVantelDialog& window);
// From the owner's thread: waits (five seconds at most) for a window whose thread was resumed a
// moment ago to exist and show.
void WaitUntilShown(CWnd& window);
// Brings the window to the front, once a window of that title (a text id) is found or after a
// second.
void BringToFront(CVantelDialog& window, unsigned titleId);

// Places the caption close button at the top right as every skinned dialog of ours does.
void PlaceCloseButton(CWnd* dialog, CWnd* closeButton);
// A new bold (weight 600) copy of the dialog's own font; the caller deletes it.
HFONT CreateBoldDialogFont(CWnd* dialog);
// The system's small icon list: shared by every list that shows it, destroyed by none.
HIMAGELIST SystemSmallImages();
// Runs work on the window's thread and returns when it has run: at once when called there,
// else through invokeMessage sent to the window, whose handler returns RunInvoked(lParam).
// Nothing runs when the window is gone.
void RunOnWindowThread(HWND wnd, UINT invokeMessage, const std::function<void()>& work);
LRESULT RunInvoked(LPARAM lParam);

}
