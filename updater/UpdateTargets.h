// Which folder an update installs into and which file each entry of a description names.
//
// The install folder of an elevated run is the folder of the running update program: what the
// registry says comes from the ordinary user and may only confirm it. Two entries that name one
// file, however spelt, make the description unusable.
#pragma once
#include "Strings.h"
#include "UpdateFileItem.h"
#include <windows.h>

namespace updatetargets {

// The running update program's own path and folder.
CString OwnProgramPath();
CString OwnFolder();
// Seam of OwnProgramPath, holding the real call: the path's folder is the install folder of an
// elevated run, its signer the one every program it installs must carry.
typedef CString (*ProgramPathFn)();
extern ProgramPathFn g_pProgramPath;

enum class Choice { kUse, kEmpty, kRefused };
// The install folder of product index for this run. Elevated: the own folder, and kRefused
// when InstallDir names another one. Not elevated: InstallDir as it is. kEmpty: none set.
Choice ChooseInstallDir(int index, bool elevated, CString& dir);

// One spelling per file: the full path, separators and "." steps resolved, trailing dots and
// separators dropped, a final ".enc" dropped, lower case.
CString FileKey(const CString& path);
bool SameFolder(const CString& a, const CString& b);

// The first target of list that another entry also names (FileKey equal); empty when none.
CString FirstDuplicate(const UpdateFileList& list);

}
