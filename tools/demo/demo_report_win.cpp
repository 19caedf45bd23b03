// zeva_demo_report.exe DATA-FOLDER: what a patrol left in a data folder,
// board by board: the plug-in type, PARAM2 (the next-read pointer), the
// plug-in's last status (ERROR), and every store with its article and unread
// counts. Written in Shift-JIS, as the files hold it.
//
// Exit code 1 when a board failed: a status other than "正常終了", or a
// fetching board marked for patrol that has no status at all (its plug-in
// never ran); also when the folder holds no board.
#include "base/sjis.h"
#include "patrol/Patrol.h"
#include "store/Subj.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kSuccess[] = "正常終了";

struct Totals {
    int boards = 0, failed = 0, articles = 0, unread = 0;
};

std::vector<std::string> List(const std::string& folder, bool folders)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + (folders ? "*" : "*.zvt")).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string n = fd.cFileName;
        bool dir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (n != "." && n != ".." && dir == folders)
            names.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Basic(const std::string& ini, const char* key, const char* def)
{
    char buf[1024];
    GetPrivateProfileStringA("BASIC", key, def, buf, sizeof buf, ini.c_str());
    return buf;
}

void Board(const std::string& folder, const std::string& rel, Totals* t)
{
    std::string ini = folder + "zeva_BBS.ini";
    std::string lib = Basic(ini, "LIB", "");
    std::string url = Basic(ini, "URL", "");
    int marks = atoi(Basic(ini, "BBSFOLDER", "0").c_str());
    std::string error = Basic(ini, "ERROR", "\x01");
    bool hasStatus = error != "\x01";
    bool fetching = !lib.empty() && _stricmp(lib.c_str(), "Stillmark") != 0;

    int articles = 0, unread = 0;
    std::vector<std::string> storeLines;
    for (const std::string& file : List(folder, false)) {
        CSubj s;
        if (!s.LoadFile((folder + file).c_str())) {
            storeLines.push_back("    " + file + ": cannot be read");
            continue;
        }
        int n = s.GetCount(), u = 0;
        for (int i = 0; i < n; ++i)
            if (s.GetItem(i).atr & ATR_N)
                ++u;
        articles += n;
        unread += u;
        char buf[400];
        Str_Format(buf, sizeof buf, "    %s: %d articles, %d unread", file.c_str(), n, u);
        storeLines.push_back(buf);
    }

    bool failed = hasStatus ? error != kSuccess : (fetching && !url.empty() && (marks & BBSFOLDER_NORMAL));
    printf("board %s  lib=%s  PARAM2=%s  articles=%d  unread=%d  %s\n", rel.c_str(), lib.empty() ? "-" : lib.c_str(),
           Basic(ini, "PARAM2", "").c_str(), articles, unread, failed ? "FAILED" : "ok");
    if (hasStatus)
        printf("    status: %s\n", error.c_str());
    else if (!fetching)
        printf("    status: (opened in the browser only: %s)\n", url.c_str());
    for (const std::string& l : storeLines)
        printf("%s\n", l.c_str());
    t->boards++;
    t->failed += failed;
    t->articles += articles;
    t->unread += unread;
}

// Boards are folders with a settings file that names a plug-in; a folder
// without one is a plain folder, walked into.
void Walk(const std::string& folder, const std::string& rel, Totals* t)
{
    for (const std::string& name : List(folder, true)) {
        std::string sub = folder + name + "\\";
        std::string subRel = rel.empty() ? name : rel + "\\" + name;
        if (!Basic(sub + "zeva_BBS.ini", "LIB", "").empty())
            Board(sub, subRel, t);
        else
            printf("folder %s\n", subRel.c_str());
        Walk(sub, subRel, t);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: zeva_demo_report.exe DATA-FOLDER\n");
        return 2;
    }
    std::string data = argv[1];
    if (!data.empty() && data.back() != '\\' && data.back() != '/')
        data += '\\';
    Totals t;
    Walk(data, "", &t);
    printf("%d boards, %d failed; %d articles in the stores, %d unread\n", t.boards, t.failed, t.articles,
           t.unread);
    fflush(stdout);
    return t.boards > 0 && t.failed == 0 ? 0 : 1;
}
