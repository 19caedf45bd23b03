// TreeFileCopy: copies, moves or deletes a file or a folder tree, asking
// before it overwrites. Nothing is lost: a moved file's source is deleted
// only after its copy succeeded, and a stop part-way leaves every source
// file that was not copied where it was.
#pragma once
#include <stddef.h>

#include <string>
#include <vector>

enum {
    TFC_COPY = 1,
    TFC_MOVE = 2,
    TFC_DELETE = 4,
};

// The user's side: error boxes and the overwrite question.
class CTreeCopyUi {
public:
    enum Answer { YES, NO, CANCEL };
    virtual ~CTreeCopyUi() {}
    virtual void Error(const char* text) = 0;          // error icon, OK
    virtual Answer AskOverwrite(const char* text) = 0;   // question icon, Yes/No/Cancel
};

// The file system as TreeFileCopy uses it; a test replaces steps by failures.
class CTreeCopyFs {
public:
    enum CopyResult { COPIED, EXISTS, FAILED };
    virtual ~CTreeCopyFs() {}
    virtual bool IsDir(const char* path);
    virtual bool List(const char* folder, std::vector<std::string>& names, std::vector<bool>& dirs);
    virtual bool MakeDir(const char* path);
    virtual bool RemoveDir(const char* path);
    virtual bool RemoveFile(const char* path);
    virtual CopyResult CopyOne(const char* from, const char* to, bool overwrite);
};

// mode: TFC_COPY, TFC_MOVE or TFC_DELETE. source is a file or a folder
// (without a trailing separator); target the folder it goes into (ignored
// when deleting). Returns 1 when everything was done, 0 when it stopped.
// *count (optional) gets the entries processed; the debug output gets
// "%d 個のファイル又はフォルダを" and the verb.
int TreeFileCopy(CTreeCopyUi* ui, int mode, const char* source, const char* target, CTreeCopyFs* fs = nullptr,
                 int* count = nullptr);
