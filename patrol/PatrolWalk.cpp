// The patrol's options, window placement arithmetic and the walk of the
// folder tree that finds the boards to visit.
#include "patrol/Patrol.h"

#include "base/fileio.h"
#include "base/profile.h"
#include "base/sjis.h"
#include "patrol/StoreUtil.h"
#include "store/Profile.h"
#include "store/Subj.h"

#include <string.h>

#include <memory>
#include <vector>

namespace {

#ifdef _WIN32
const char kSep[] = "\\";
#else
const char kSep[] = "/";
#endif

const char kBoardIni[] = "zeva_BBS.ini";

struct FolderMarks {
    int bbsFolder;
    bool hasUrl;
};

// Board settings go through the profile functions, as everywhere else in
// the program, so that one process never mixes two views of the file.
FolderMarks ReadMarks(const char* settingsPath)
{
    FolderMarks m;
    m.bbsFolder = Profile_GetInt("BASIC", "BBSFOLDER", 0, settingsPath);
    char url[260];
    Profile_GetString("BASIC", "URL", "", url, sizeof url, settingsPath);
    m.hasUrl = url[0] != 0;
    return m;
}

bool HasExt(const char* name, const char* ext)
{
    const char* dot = Sjis_StrRChr(name, '.');
    return dot && Str_ICmp(dot + 1, ext) == 0;
}

// Kind 2: a store other than "送信済み.zvt" whose header counts articles to send.
bool StoreHasArticlesToSend(const char* folder, const char* name)
{
    if (!HasExt(name, "zvt") || Str_ICmp(name, kSentStoreName) == 0)
        return false;
    char path[260];
    if (strlen(folder) + strlen(name) >= sizeof path)
        return false;
    Str_Format(path, sizeof path, "%s%s", folder, name);
    auto subj = std::make_unique<CSubj>();
    if (!subj->LoadHeader(path))
        return false;
    return subj->Header().unsent != 0;
}

}  // namespace

int Patrol_ClampThreadCount(int n)
{
    if (n < 1)
        return 1;
    if (n > PATROL_SLOTS)
        return PATROL_SLOTS;
    return n;
}

void Patrol_DefaultOptions(PatrolOptions* o)
{
    memset(o, 0, sizeof *o);
    o->threadCount = 2;
    o->autoConnect = 1;
    o->proxyIE = 1;
    Str_Copy(o->perl, sizeof o->perl, "perl");
    Str_Copy(o->ruby, sizeof o->ruby, "ruby");
}

void Patrol_ReadOptions(CProfile& ini, PatrolOptions* o)
{
    ini.SetSection("OPTION");
    o->threadCount = Patrol_ClampThreadCount(ini.GetInt("ThreadCount", 2));
    o->autoConnect = ini.GetInt("AutoConnect", 1);
    o->autoDisconnect = ini.GetInt("AutoDisconnect", 0);
    o->closeRunWindow = ini.GetInt("CloseRunWindow", 0);
    o->multiWindow = ini.GetInt("GAMultiWindow", 0);
    o->proxyIE = ini.GetInt("ProxyIE", 1);
    ini.GetString("ProxyAdr", o->proxyAdr, sizeof o->proxyAdr, "");
    o->proxyPort = ini.GetInt("ProxyPort", 0);
    for (int i = 0; i < 3; ++i) {
        char key[16];
        Str_Format(key, sizeof key, "Sound%03d", i);
        ini.GetString(key, o->sound[i], sizeof o->sound[i], "");
    }
    ini.GetString("Perl", o->perl, sizeof o->perl, "perl");
    ini.GetString("Ruby", o->ruby, sizeof o->ruby, "ruby");
}

void Patrol_KeepOnScreen(PatrolPlacement* p, int screenWidth, int screenHeight)
{
    if (p->left + p->width > screenWidth)
        p->left = screenWidth - p->width;
    if (p->top + p->height > screenHeight)
        p->top = screenHeight - p->height;
    if (p->left < 0)
        p->left = 0;
    if (p->top < 0)
        p->top = 0;
}

void Patrol_ReadPlacement(CProfile& ini, int ownWidth, int ownHeight, int screenWidth, int screenHeight,
                          PatrolPlacement* p, int* column0)
{
    ini.SetSection("GOAROUND");
    p->left = ini.GetInt("LEFT", screenWidth - ownWidth);
    p->top = ini.GetInt("TOP", screenHeight - ownHeight);
    p->width = ini.GetInt("WIDTH", ownWidth);
    p->height = ini.GetInt("HEIGHT", ownHeight);
    *column0 = ini.GetInt("COLUMN0", PATROL_DEFAULT_COLUMN0);
    Patrol_KeepOnScreen(p, screenWidth, screenHeight);
}

void Patrol_ProxyText(char* out, size_t size, const char* proxyAdr, int proxyPort)
{
    if (!proxyAdr || !proxyAdr[0]) {
        Str_Copy(out, size, "");
        return;
    }
    Str_Format(out, size, "%s:%d", proxyAdr, proxyPort);
}

void Patrol_BoardName(char* out, size_t size, const char* boardFolder)
{
    char folder[260];
    size_t n = Str_Copy(folder, sizeof folder, boardFolder);
    // Drop the trailing separator (a backslash is never a second byte here:
    // Sjis_StrRChr below steps over double-byte characters).
    const char* last = n ? Sjis_StrRChr(folder, kSep[0]) : nullptr;
    if (last && last[1] == 0)
        folder[last - folder] = 0;
    Str_Copy(out, size, Path_FileName(folder));
}

namespace {

int Walk(const char* folder, int kind, int force, CPatrolWalkSink* sink, bool* stopped)
{
    char settings[260];
    Str_Format(settings, sizeof settings, "%s%s", folder, kBoardIni);
    FolderMarks own = ReadMarks(settings);
    if ((own.bbsFolder & BBSFOLDER_TEMPORARY) && !(own.bbsFolder & BBSFOLDER_NORMAL) && !own.hasUrl)
        force = 1;   // a plain folder of boards marked for a temporary patrol

    std::vector<DirEntry> entries;
    Dir_List(folder, entries);
    int started = 0;
    bool done = false;   // F has its worker, or was passed over
    for (const DirEntry& e : entries) {
        if (*stopped)
            break;
        const char* name = e.name.c_str();
        if (strlen(folder) + e.name.size() + 1 >= 260)
            continue;   // would not fit a path field
        if (e.isDir) {
            if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
                continue;
            char sub[260];
            Str_Format(sub, sizeof sub, "%s%s%s", folder, name, kSep);
            started += Walk(sub, kind, force, sink, stopped);
            continue;
        }
        if (done)
            continue;
        if (kind == PATROL_SEND) {
            if (!StoreHasArticlesToSend(folder, name))
                continue;
        } else if (Str_ICmp(name, kBoardIni) != 0) {
            continue;
        }

        FolderMarks marks = ReadMarks(settings);
        int b = marks.bbsFolder;
        bool pass;
        if (!force)
            pass = b == 0 || (kind == PATROL_TEMPORARY && !(b & BBSFOLDER_TEMPORARY));
        else
            pass = b == 0 && !marks.hasUrl;
        if (pass) {
            done = true;   // the same file decides for every other entry of F
            continue;
        }
        // The temporary mark is used up by the visit, so only a board that
        // got its slot loses it.
        if (!sink->TakeSlot()) {
            *stopped = true;
            break;
        }
        if (b & BBSFOLDER_TEMPORARY) {
            char value[16];
            Str_Format(value, sizeof value, "%d", b & BBSFOLDER_NORMAL);
            Profile_WriteString("BASIC", "BBSFOLDER", value, settings);
        }
        done = true;
        ++started;
        sink->StartBoard(folder, settings);
    }
    return started;
}

}  // namespace

int Patrol_Walk(const char* folder, int kind, int force, CPatrolWalkSink* sink)
{
    bool stopped = false;
    return Walk(folder, kind, force, sink, &stopped);
}
