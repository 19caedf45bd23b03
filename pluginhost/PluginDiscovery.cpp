// Plug-in discovery: name resolution, script headers, listing, version-box
// lines, stray plug-ins.
#include "pluginhost/PluginInfo.h"

#include "base/clock.h"
#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"

#include <string.h>

PluginInfo::PluginInfo() : kind(PLUGIN_NONE)
{
    path[0] = 0;
    folder[0] = 0;
}

void PluginInfo::ClearText()
{
    internalName.clear();
    target.clear();
    author.clear();
    version.clear();
    comments.clear();
}

const char* Sjis_StrIStr(const char* s, const char* pattern)
{
    size_t n = strlen(pattern);
    if (n == 0)
        return s;
    while (*s) {
        if (Str_NICmp(s, pattern, n) == 0)
            return s;
        if (IsSjisLead((unsigned char)*s) && s[1])
            s += 2;
        else
            s += 1;
    }
    return nullptr;
}

PluginKind Plugin_KindFromName(const char* name)
{
    PluginKind kind = PLUGIN_NONE;
    if (Sjis_StrIStr(name, ".exe"))
        kind = PLUGIN_EXE;
    if (Sjis_StrIStr(name, ".pl"))
        kind = PLUGIN_PERL;
    if (Sjis_StrIStr(name, ".rb"))
        kind = PLUGIN_RUBY;
    return kind;
}

void Plugin_Resolve(PluginInfo* info, const char* name, const char* pluginFolder)
{
    // name may be info->path itself; work on a copy.
    char given[260];
    Str_Copy(given, sizeof(given), name);
    Str_Copy(info->folder, sizeof(info->folder), pluginFolder);

    if (Sjis_StrChr(given, '\\')) {
        Str_Copy(info->path, sizeof(info->path), given);
        info->kind = Plugin_KindFromName(given);
        return;
    }
    if (Str_NICmp(given, "zv_", 3) != 0) {
        static const char* const exts[] = {"exe", "pl", "rb"};
        static const PluginKind kinds[] = {PLUGIN_EXE, PLUGIN_PERL, PLUGIN_RUBY};
        for (int i = 0; i < 3; i++) {
            char candidate[260];
            Str_Format(candidate, sizeof(candidate), "%szv_%s.%s", pluginFolder, given, exts[i]);
            if (File_Exists(candidate) && !File_IsDir(candidate)) {
                Str_Copy(info->path, sizeof(info->path), candidate);
                info->kind = kinds[i];
                return;
            }
        }
        Str_Format(info->path, sizeof(info->path), "%szv_%s.exe", pluginFolder, given);
        info->kind = PLUGIN_EXE;
        return;
    }
    Str_Format(info->path, sizeof(info->path), "%s%s", pluginFolder, given);
    info->kind = Plugin_KindFromName(given);
}

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Version: after "version", "ver." or "ver", from the first digit on, the
// characters between '.' and 'z'.
void TakeVersion(const char* line, std::string& out)
{
    const char* p = Sjis_StrIStr(line, "version");
    if (!p)
        p = Sjis_StrIStr(line, "ver.");
    if (!p)
        p = Sjis_StrIStr(line, "ver");
    if (!p)
        return;
    while (*p && !IsDigit(*p))
        p++;
    std::string v;
    while (*p >= '.' && *p <= 'z' && v.size() < PLUGIN_SCRIPT_VERSION_MAX)
        v += *p++;
    out = v;
}

// Skips the word that starts at p and the spaces behind it.
const char* SkipWord(const char* p)
{
    while (*p && *p != ' ')
        p++;
    while (*p == ' ')
        p++;
    return p;
}

void TakeAuthor(const char* line, std::string& out)
{
    const char* p = Sjis_StrIStr(line, " by");
    if (!p)
        return;
    p = SkipWord(p + 1);
    std::string a;
    while (*p && *p != '\r' && *p != '\n' && !(p[0] == ' ' && p[1] == ' ') &&
           a.size() < PLUGIN_SCRIPT_AUTHOR_MAX)
        a += *p++;
    out = a;
}

void TakeTarget(const char* line, std::string& out)
{
    const char* p = Sjis_StrIStr(line, " for ");
    if (!p)
        return;
    p = SkipWord(p + 1);
    std::string t;
    while (*p && *p != '\r' && *p != '\n' && t.size() < PLUGIN_SCRIPT_TARGET_MAX)
        t += *p++;
    const char* cut = Sjis_StrIStr(t.c_str(), "ver");
    if (cut)
        t.resize(cut - t.c_str());
    out = t;
}

} // namespace

void Plugin_ParseScriptHeader(const char* text, size_t size, PluginInfo* info)
{
    size_t pos = 0;
    for (int n = 0; n < PLUGIN_SCRIPT_LINES && pos < size; n++) {
        // A line ends after its LF or after 200 bytes, as a bounded line read does.
        char line[PLUGIN_SCRIPT_LINE_BYTES + 1];
        size_t len = 0;
        while (pos < size && len < PLUGIN_SCRIPT_LINE_BYTES) {
            char c = text[pos++];
            line[len++] = c;
            if (c == '\n')
                break;
        }
        line[len] = 0;
        if (info->version.empty())
            TakeVersion(line, info->version);
        if (info->author.empty())
            TakeAuthor(line, info->author);
        if (info->target.empty())
            TakeTarget(line, info->target);
        if (!info->version.empty() && !info->author.empty() && !info->target.empty())
            break;
    }
}

int Plugin_ReadScriptInfo(PluginInfo* info)
{
    info->ClearText();
    std::vector<char> buf(PLUGIN_SCRIPT_LINES * PLUGIN_SCRIPT_LINE_BYTES);
    long got = File_ReadHead(info->path, buf.data(), buf.size());
    if (got > 0)
        Plugin_ParseScriptHeader(buf.data(), (size_t)got, info);
    return 1;
}

namespace {

bool EndsWithI(const std::string& s, const char* tail)
{
    size_t n = strlen(tail);
    return s.size() >= n && Str_ICmp(s.c_str() + s.size() - n, tail) == 0;
}

bool IsPluginFileName(const std::string& name)
{
    return Str_NICmp(name.c_str(), "zv_", 3) == 0 &&
           (EndsWithI(name, ".exe") || EndsWithI(name, ".pl") || EndsWithI(name, ".rb"));
}

} // namespace

int Plugin_ListFiles(const char* pluginFolder, std::vector<std::string>& fileNames)
{
    fileNames.clear();
    std::vector<DirEntry> entries;
    if (!Dir_List(pluginFolder, entries))
        return 0;
    for (const DirEntry& e : entries)
        if (!e.isDir && IsPluginFileName(e.name))
            fileNames.push_back(e.name);
    return 1;
}

std::string Plugin_TypeName(const char* fileName)
{
    std::string s = strlen(fileName) >= 3 ? fileName + 3 : "";
    const char* dot = Sjis_StrRChr(s.c_str(), '.');
    if (dot)
        s.resize(dot - s.c_str());
    return s;
}

int Plugin_ListTypes(const char* pluginFolder, std::vector<std::string>& typeNames)
{
    typeNames.clear();
    std::vector<std::string> files;
    if (!Plugin_ListFiles(pluginFolder, files))
        return 0;
    for (const std::string& f : files)
        typeNames.push_back(Plugin_TypeName(f.c_str()));
    return 1;
}

void Plugin_AppendVersionLine(std::string& out, const char* fileName, const char* version,
                              const char* author)
{
    size_t size = strlen(fileName) + strlen(version) + strlen(author) + 40;
    std::vector<char> line(size);
    Str_Format(line.data(), size, "%-26s%-10s%s\r\n", fileName, version, author);
    out += line.data();
}

namespace {

bool IsStrayName(const std::string& name)
{
    if (Str_NICmp(name.c_str(), "zv_", 3) == 0)
        return true;
    const char* dot = Sjis_StrRChr(name.c_str(), '.');
    return dot && (Str_ICmp(dot, ".pl") == 0 || Str_ICmp(dot, ".rb") == 0);
}

} // namespace

int Plugin_MoveStrays(const char* programFolder, const char* pluginFolder)
{
    std::vector<DirEntry> entries;
    if (!Dir_List(programFolder, entries))
        return 0;
    int moved = 0;
    for (const DirEntry& e : entries) {
        if (e.isDir || !IsStrayName(e.name))
            continue;
        std::string from = std::string(programFolder) + e.name;
        std::string to = std::string(pluginFolder) + e.name;
        std::vector<char> data;
        if (!File_ReadAll(from.c_str(), data))
            continue;
        if (!File_Replace(to.c_str(), data.data(), data.size()))
            continue;
        if (File_Delete(from.c_str()))
            moved++;
    }
    return moved;
}

void SimpleProfiler(bool start)
{
    static uint32_t s_start = 0;
    if (start)
        s_start = Clock_TickMs();
    else
        Debug_Printf("SimpleProfiler() : %d\n", (int)(Clock_TickMs() - s_start));
}
