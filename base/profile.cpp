#include "base/profile.h"

#include "base/sjis.h"

#include <stdlib.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>

unsigned Profile_GetString(const char* section, const char* key, const char* def,
                           char* buf, unsigned size, const char* path)
{
    if (!buf || size == 0)
        return 0;
    return GetPrivateProfileStringA(section, key, def ? def : "", buf, size, path);
}

int Profile_GetInt(const char* section, const char* key, int def, const char* path)
{
    return (int)GetPrivateProfileIntA(section, key, def, path);
}

int Profile_WriteString(const char* section, const char* key, const char* value, const char* path)
{
    return WritePrivateProfileStringA(section, key, value, path) ? 1 : 0;
}

#else
#include "base/fileio.h"

#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace {
std::mutex g_mutex;

std::vector<std::string> ReadLines(const char* path, std::string* raw = nullptr)
{
    std::vector<std::string> lines;
    std::vector<char> buf;
    if (!File_ReadAll(path, buf))
        return lines;
    if (raw)
        raw->assign(buf.data(), buf.size());
    size_t start = 0;
    for (size_t i = 0; i <= buf.size(); ++i) {
        if (i == buf.size() || buf[i] == '\n') {
            size_t end = i;
            if (end > start && buf[end - 1] == '\r')
                --end;
            if (i < buf.size() || end > start)
                lines.emplace_back(buf.data() + start, end - start);
            start = i + 1;
        }
    }
    return lines;
}

std::string Trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

// Section name of a header line, or false when the line is no header.
bool SectionName(const std::string& line, std::string& name)
{
    std::string t = Trim(line);
    if (t.empty() || t[0] != '[')
        return false;
    size_t close = t.find(']');
    name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

bool KeyOf(const std::string& line, std::string& key, std::string& value)
{
    size_t eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

bool SameName(const std::string& a, const char* b)
{
    std::string t = Trim(b);
    return Str_ICmp(a.c_str(), t.c_str()) == 0;
}
}

namespace {
unsigned GetStringLocked(const char* section, const char* key, const char* def, char* buf, unsigned size,
                         const char* path)
{
    std::vector<std::string> lines = ReadLines(path);
    bool inside = false;
    std::string name, k, v;
    for (const std::string& line : lines) {
        if (SectionName(line, name)) {
            inside = section && SameName(name, section);
            continue;
        }
        if (!inside || !key || !KeyOf(line, k, v) || !SameName(k, key))
            continue;
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
            v = v.substr(1, v.size() - 2);
        return (unsigned)Str_Copy(buf, size, v.c_str());
    }
    std::string d = Trim(def ? def : "");
    return (unsigned)Str_Copy(buf, size, d.c_str());
}
}

unsigned Profile_GetString(const char* section, const char* key, const char* def,
                           char* buf, unsigned size, const char* path)
{
    if (!buf || size == 0)
        return 0;
    std::lock_guard<std::mutex> lock(g_mutex);
    try {
        return GetStringLocked(section, key, def, buf, size, path);
    } catch (const std::bad_alloc&) {
        return (unsigned)Str_Copy(buf, size, def);   // as if the file were missing
    }
}

int Profile_GetInt(const char* section, const char* key, int def, const char* path)
{
    char buf[64];
    if (!Profile_GetString(section, key, "", buf, sizeof buf, path))
        return def;
    return atoi(buf);
}

namespace {
int WriteStringLocked(const char* section, const char* key, const char* value, const char* path)
{
    std::string before;
    std::vector<std::string> lines = ReadLines(path, &before);
    std::string name, k, v;
    int secStart = -1, secEnd = (int)lines.size();   // [secStart, secEnd) is the block
    for (int i = 0; i < (int)lines.size(); ++i) {
        if (SectionName(lines[i], name)) {
            if (secStart >= 0) {
                secEnd = i;
                break;
            }
            if (SameName(name, section))
                secStart = i;
        }
    }
    if (secStart < 0) {
        if (!key || !value)
            return 1;
        lines.push_back(std::string("[") + section + "]");
        lines.push_back(std::string(key) + "=" + value);
    } else if (!key) {
        lines.erase(lines.begin() + secStart, lines.begin() + secEnd);
    } else {
        int found = -1;
        for (int i = secStart + 1; i < secEnd; ++i)
            if (KeyOf(lines[i], k, v) && SameName(k, key)) {
                found = i;
                break;
            }
        if (found >= 0) {
            if (value)
                lines[found] = k + "=" + value;
            else
                lines.erase(lines.begin() + found);
        } else if (value) {
            // After the last non-blank line of the block.
            int at = secEnd;
            while (at > secStart + 1 && Trim(lines[at - 1]).empty())
                --at;
            lines.insert(lines.begin() + at, std::string(key) + "=" + value);
        }
    }
    std::string out;
    for (const std::string& l : lines) {
        out += l;
        out += "\r\n";
    }
    // A value written again unchanged leaves the file alone (a store's view
    // settings are written at every save).
    if (out == before)
        return 1;
    return File_Replace(path, out.data(), out.size());
}
}

int Profile_WriteString(const char* section, const char* key, const char* value, const char* path)
{
    if (!section)
        return 0;
    std::lock_guard<std::mutex> lock(g_mutex);
    try {
        return WriteStringLocked(section, key, value, path);
    } catch (const std::bad_alloc&) {
        return 0;   // the file stays as it was
    }
}
#endif
