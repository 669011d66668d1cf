// CDirectEditAddOn: the main program's share of direct editing: finding the service's editing
// add-on, installing or updating it from the server's "/cab/" folder, locking the file on the
// server when the options ask for it, and starting the add-on with the eight values that name
// the server, the user and the file. The server file pane runs it for its direct-edit command.
//
// Runs on the GUI thread and blocks it while an installer runs.
#pragma once
#include "Strings.h"
#include <vector>

class CToviProto;
class CWnd;

// The file to edit, as the server pane knows it.
struct DirectEditFile {
    CString fileIdx;
    CString folderIdx;
    CString folderType;   // of the folder selected in the server tree; empty when none is
    CString domainIdx;
};

class CDirectEditAddOn {
public:
    // pane: the server file pane (owner of boxes, HWND argument); proto: the frame's session.
    CDirectEditAddOn(CWnd* pane, CToviProto* proto);

    // The whole road for one selected file: 1 when the add-on started or an installation
    // began, 0 otherwise (a failed or refused start releases the lock it took).
    int OnDirectEdit(const DirectEditFile* file, int selectedCount);
    // 1 when the server offers a newer add-on than the installed one.
    int IsNeedUpdate();
    // Downloads the installer and runs it when its signature holds; true when it ran.
    bool InstallDE();
    CString GetDEPath() const;

    // The eight values as one command line, each quoted so that blanks, quotes and empty values
    // reach the add-on as the one argument they are.
    static CString CommandLine(const std::vector<CString>& values);
    // One value quoted by the rules the started program's argument parser reads back.
    static CString QuoteArgument(const CString& value);

    // ---- Seams ----
    typedef bool (*Downloader)(HWND window, const CString& url, const CString& file);
    static Downloader s_pDownload;                     // CToviUpdate::HTTPDown
    // Starts a program; nonzero when it started.
    typedef int (*Launcher)(HWND window, const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                            const wchar_t* folder);
    static Launcher s_pLaunch;                         // CToviExec::MyShellExec
    // Runs the installer and waits for it; 1 when it ran.
    static Launcher s_pRunSetup;                       // CToviExec::ExecuteDESetup
    typedef bool (*ProcessProbe)(const CString& name);
    static ProcessProbe s_pRunning;                    // CFileUtils::FindProcess
    typedef CString (*VersionReader)(const CString& path);
    static VersionReader s_pVersion;                   // CFileUtils::GetFileVersionString
    typedef CString (*FolderOf)(int csidl);
    static FolderOf s_pFolder;                         // SHGetFolderPath

private:
    CString DownloadFolder() const;
    bool Lock(const DirectEditFile& file, bool* readOnly);
    void Unlock(const DirectEditFile& file);
    int Message(const wchar_t* text, unsigned type);

    CWnd* m_pPane;
    CToviProto* m_pProto;
};
