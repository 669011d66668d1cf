// The folder a pending move came from: a cut or a drag marks it, the paste or drop that moves
// the items takes it and lists it anew. Each folder tree keeps one and forgets the mark when the
// marked item goes.
//
// GUI thread only.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CMoveSource {
public:
    void Mark(HTREEITEM folder) { m_folder = folder; }
    // The marked folder, left marked (a second paste of the same cut moves nothing more out of it
    // but still lists it).
    HTREEITEM Folder() const { return m_folder; }
    // The marked folder; the mark is gone afterwards.
    HTREEITEM Take()
    {
        HTREEITEM folder = m_folder;
        m_folder = nullptr;
        return folder;
    }
    void Forget() { m_folder = nullptr; }

private:
    HTREEITEM m_folder = nullptr;
};
