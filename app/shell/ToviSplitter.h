// CToviSplitter: the main window's 2x2 splitter (server tree and list above, local tree and
// list below). The transfer hand-over comes with the transfer issue; the frame already asks it
// whether a transfer runs and tells it to stop them.
#pragma once
#include "SplitterWnd.h"

class CWinThread;

class CToviSplitter : public CSplitterWnd {
    DECLARE_DYNAMIC(CToviSplitter)
public:
    CToviSplitter();

    // The frame copies its use-frame setting here before creation.
    BOOL m_bUseFrame = TRUE;
    // The transfer workers, when running; owned here.
    CWinThread* m_pUploadThread = nullptr;
    CWinThread* m_pDownloadThread = nullptr;

    // Tells the transfer workers to quit and waits for them, pumping messages.
    void StopTransfers();
    // True when an upload or download worker still runs.
    bool TransferRunning() const;
    // Remembers the share of row 0 so that a maximise or restore keeps it.
    void KeepRowProportion();
    // Applies the kept share to the current height.
    void ApplyRowProportion();

private:
    double m_rowShare = 0.0;
    double m_colShare = 0.0;
};
