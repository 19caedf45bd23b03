#include "ui/folderview/TreeFileCopy.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "ui/folderview/FolderItem.h"

#include <string.h>

// The file operations of the operating system live in TreeCopyFs_*.cpp.

namespace {

// The string ends with a real separator (not the second byte of "ソ").
bool EndsWithSeparator(const std::string& s)
{
    return !s.empty() && Sjis_StrRChr(s.c_str(), kFolderSep) == s.c_str() + s.size() - 1;
}

class CCopyRun {
public:
    CCopyRun(CTreeCopyUi* ui, int mode, CTreeCopyFs* fs) : m_ui(ui), m_mode(mode), m_fs(fs) {}
    int count = 0;

    // One entry: a folder with its contents or a file. false stops it all.
    bool Entry(const std::string& source, const std::string& targetFolder)
    {
        const char* name = Path_FileName(source.c_str());
        std::string target = targetFolder;
        if (!target.empty() && !EndsWithSeparator(target))
            target += kFolderSep;
        target += name;
        ++count;
        if (m_fs->IsDir(source.c_str()))
            return Folder(source, target);
        return File(source, target);
    }

private:
    bool Copying() const { return (m_mode & (TFC_COPY | TFC_MOVE)) != 0; }
    bool Removing() const { return (m_mode & (TFC_MOVE | TFC_DELETE)) != 0; }

    void Error(const char* fmt, const char* a, const char* b = nullptr)
    {
        char text[1100];
        if (b)
            Str_Format(text, sizeof text, fmt, a, b);
        else
            Str_Format(text, sizeof text, fmt, a);
        m_ui->Error(text);
    }

    bool Folder(const std::string& source, const std::string& target)
    {
        if (Copying() && !m_fs->MakeDir(target.c_str())) {
            Error("%s\nディレクトリが作成できません", target.c_str());
            return false;
        }
        std::vector<std::string> names;
        std::vector<bool> dirs;
        m_fs->List(source.c_str(), names, dirs);
        for (const std::string& n : names)
            if (!Entry(source + kFolderSep + n, target))
                return false;
        if (Removing() && !m_fs->RemoveDir(source.c_str())) {
            Error("%s\nディレクトリが削除できません", source.c_str());
            return false;
        }
        return true;
    }

    bool File(const std::string& source, const std::string& target)
    {
        if (Copying()) {
            CTreeCopyFs::CopyResult r = m_fs->CopyOne(source.c_str(), target.c_str(), false);
            if (r == CTreeCopyFs::EXISTS) {
                if (Str_ICmp(source.c_str(), target.c_str()) == 0) {
                    m_ui->Error("コピー元とコピー先が同じなのでコピーできません");
                    Error("%s\n-> %s\nコピーができません", source.c_str(), target.c_str());
                    return false;
                }
                char text[1100];
                Str_Format(text, sizeof text, "%s\nはすでに存在します\n上書きしますか？", target.c_str());
                switch (m_ui->AskOverwrite(text)) {
                case CTreeCopyUi::CANCEL:
                    return false;
                case CTreeCopyUi::NO:
                    return true;   // skipped: a moved file stays where it was
                case CTreeCopyUi::YES:
                    r = m_fs->CopyOne(source.c_str(), target.c_str(), true);
                    break;
                }
            }
            if (r != CTreeCopyFs::COPIED) {
                Error("%s\n-> %s\nコピーができません", source.c_str(), target.c_str());
                return false;
            }
        }
        if (Removing() && !m_fs->RemoveFile(source.c_str())) {
            Error("%s\n削除できません", source.c_str());
            return false;
        }
        return true;
    }

    CTreeCopyUi* m_ui;
    int m_mode;
    CTreeCopyFs* m_fs;
};

}  // namespace

int TreeFileCopy(CTreeCopyUi* ui, int mode, const char* source, const char* target, CTreeCopyFs* fs, int* count)
{
    CTreeCopyFs plain;
    if (!fs)
        fs = &plain;
    std::string src = source ? source : "";
    // The entry itself, never what a trailing separator would leave.
    while (src.size() > 1 && EndsWithSeparator(src))
        src.pop_back();
    CCopyRun run(ui, mode, fs);
    int ok = src.empty() ? 0 : run.Entry(src, target ? target : "") ? 1 : 0;
    const char* verb = (mode & TFC_MOVE) ? "移動" : (mode & TFC_DELETE) ? "削除" : "コピー";
    Debug_Printf("%d 個のファイル又はフォルダを%sしました\n", run.count, verb);
    if (count)
        *count = run.count;
    return ok;
}

bool CTreeCopyFs::IsDir(const char* path)
{
    return File_IsDir(path) != 0;
}

bool CTreeCopyFs::List(const char* folder, std::vector<std::string>& names, std::vector<bool>& dirs)
{
    std::vector<DirEntry> entries;
    names.clear();
    dirs.clear();
    if (!Dir_List(folder, entries))
        return false;
    for (const DirEntry& e : entries) {
        names.push_back(e.name);
        dirs.push_back(e.isDir);
    }
    return true;
}

bool CTreeCopyFs::MakeDir(const char* path)
{
    // A folder of that name already there is a failure, as for the system.
    return !File_Exists(path) && Dir_Create(path) != 0;
}

bool CTreeCopyFs::RemoveFile(const char* path)
{
    return File_Delete(path) != 0;
}
