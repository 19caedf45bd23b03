#include "plugins/common/PluginSettings.h"

#include "base/fileio.h"
#include "base/profile.h"
#include "base/sjis.h"
#include "plugins/common/PluginOutput.h"

namespace {
size_t ValueSize(size_t size)
{
    return size < CBoardSettings::kValueSize ? size : (size_t)CBoardSettings::kValueSize;
}
}

CProfileSettings::CProfileSettings(const char* path)
{
    m_profile.Open(path);
}

void CProfileSettings::SetSection(const char* name)
{
    m_profile.SetSection(name);
}

void CProfileSettings::Get(const char* key, char* buf, size_t size)
{
    if (size)
        m_profile.GetString(key, buf, ValueSize(size), "");
}

void CProfileSettings::Set(const char* key, const char* value)
{
    m_profile.SetString(key, value);
}

int CProfileSettings::Flush()
{
    if (!m_profile.IsModified())
        return 1;
    return m_profile.Save();
}

CSysProfileSettings::CSysProfileSettings(const char* path) : m_path(path), m_section("NULL") {}

void CSysProfileSettings::SetSection(const char* name)
{
    m_section = name;
}

void CSysProfileSettings::Get(const char* key, char* buf, size_t size)
{
    if (size)
        Profile_GetString(m_section.c_str(), key, "", buf, (unsigned)ValueSize(size), m_path.c_str());
}

void CSysProfileSettings::Set(const char* key, const char* value)
{
    Profile_WriteString(m_section.c_str(), key, value, m_path.c_str());
}

std::string Plugin_SettingsPath(const char* folder, const char* defaultName)
{
    std::vector<DirEntry> entries;
    if (Dir_List(folder, entries))
        for (const DirEntry& e : entries)
            if (!e.isDir && Str_ICmp(e.name.c_str(), "zeva_bbs.ini") == 0)
                return Plugin_JoinPath(folder, e.name.c_str());
    return Plugin_JoinPath(folder, defaultName);
}
