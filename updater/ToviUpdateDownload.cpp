// CToviUpdate::HTTPDown: one HTTP GET into a file, with the dialog's progress and the cancel event.
#include "ToviUpdate.h"
#include "ToviUpdateFetch.h"
#include "UpdateMessages.h"

bool CToviUpdate::HTTPDown(HANDLE cancelEvent, HWND window, const CString& url, const CString& path)
{
    updatefetch::Options options;
    options.cancelEvent = cancelEvent;
    options.traceName = L" \u25a0\u25a0\u25a0 [ UPDATE ][ HTTPDown ]";
    if (window != nullptr) {
        options.onLength = [window](unsigned long long total) {
            ::SendMessageW(window, WM_UPDATER_PROGRESS_RANGE, 0, reinterpret_cast<LPARAM>(&total));
        };
        options.onPiece = [window](unsigned long long step) {
            ::SendMessageW(window, WM_UPDATER_PROGRESS, 0, reinterpret_cast<LPARAM>(&step));
        };
    }
    return updatefetch::Download(url, path, options);
}
