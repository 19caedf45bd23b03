// zeva_demo_report.exe DATA-FOLDER [ROWS-FILE]: what a patrol left in a data
// folder, board by board: the plug-in type, PARAM2 (the next-read pointer),
// the plug-in's last status (ERROR), the row of the progress window when
// the rows file of zeva_demo.exe is given, and every store with its article
// and unread counts. Written in Shift-JIS, as the files hold it.
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
#include <map>
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

// The rows file: "name<TAB>text" lines.
std::map<std::string, std::string> ReadRows(const char* path)
{
    std::map<std::string, std::string> rows;
    FILE* f = path ? fopen(path, "rb") : nullptr;
    if (!f)
        return rows;
    char line[2048];
    while (fgets(line, sizeof line, f)) {
        line[strcspn(line, "\r\n")] = 0;
        char* tab = strchr(line, '\t');
        if (tab) {
            *tab = 0;
            rows[line] = tab + 1;
        }
    }
    fclose(f);
    return rows;
}

void Board(const std::string& folder, const std::string& rel, const std::string& name,
           const std::map<std::string, std::string>& rows, Totals* t)
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
    auto row = rows.find(name);
    printf("board %s  lib=%s  PARAM2=%s  articles=%d  unread=%d  %s\n", rel.c_str(), lib.empty() ? "-" : lib.c_str(),
           Basic(ini, "PARAM2", "").c_str(), articles, unread, failed ? "FAILED" : "ok");
    if (hasStatus)
        printf("    status: %s\n", error.c_str());
    else if (!fetching)
        printf("    status: (opened in the browser only: %s)\n", url.c_str());
    if (row != rows.end())
        printf("    row:    %s\n", row->second.empty() ? "(empty)" : row->second.c_str());
    for (const std::string& l : storeLines)
        printf("%s\n", l.c_str());
    t->boards++;
    t->failed += failed;
    t->articles += articles;
    t->unread += unread;
}

// Boards are folders with a settings file that names a plug-in; a folder
// without one is a plain folder, walked into.
void Walk(const std::string& folder, const std::string& rel, const std::map<std::string, std::string>& rows,
          Totals* t)
{
    for (const std::string& name : List(folder, true)) {
        std::string sub = folder + name + "\\";
        std::string subRel = rel.empty() ? name : rel + "\\" + name;
        if (!Basic(sub + "zeva_BBS.ini", "LIB", "").empty())
            Board(sub, subRel, name, rows, t);
        else
            printf("folder %s\n", subRel.c_str());
        Walk(sub, subRel, rows, t);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: zeva_demo_report.exe DATA-FOLDER [ROWS-FILE]\n");
        return 2;
    }
    std::string data = argv[1];
    if (!data.empty() && data.back() != '\\' && data.back() != '/')
        data += '\\';
    std::map<std::string, std::string> rows = ReadRows(argc > 2 ? argv[2] : nullptr);
    Totals t;
    Walk(data, "", rows, &t);
    auto end = rows.find("終了しました");
    printf("%d boards, %d failed; %d articles in the stores, %d unread%s\n", t.boards, t.failed, t.articles,
           t.unread, end != rows.end() ? "; the patrol window showed its end" : "");
    fflush(stdout);
    return t.boards > 0 && t.failed == 0 ? 0 : 1;
}
