// The board settings file "zeva_bbs.ini" as the plug-ins see it: a current
// section, case-blind reads of at most 259 bytes, writes in the plug-in's own
// spelling. zv_ZVT keeps the whole file in memory (CProfile, saved at the
// end); zv_Orbiloom goes through the system's profile functions, each write
// reaching the file at once.
#pragma once
#include <stddef.h>
#include <string>

#include "store/Profile.h"

class CBoardSettings {
public:
    enum { kValueSize = 260 };
    virtual ~CBoardSettings() {}
    virtual void SetSection(const char* name) = 0;
    // Missing keys read as "".
    virtual void Get(const char* key, char* buf, size_t size) = 0;
    virtual void Set(const char* key, const char* value) = 0;
    // Makes every change reach the file.
    virtual int Flush() { return 1; }
};

class CProfileSettings : public CBoardSettings {
public:
    explicit CProfileSettings(const char* path);
    void SetSection(const char* name) override;
    void Get(const char* key, char* buf, size_t size) override;
    void Set(const char* key, const char* value) override;
    int Flush() override;

private:
    CProfile m_profile;
};

class CSysProfileSettings : public CBoardSettings {
public:
    explicit CSysProfileSettings(const char* path);
    void SetSection(const char* name) override;
    void Get(const char* key, char* buf, size_t size) override;
    void Set(const char* key, const char* value) override;

private:
    std::string m_path;
    std::string m_section;
};

// The settings file of a board folder: an existing entry whose name equals
// "zeva_bbs.ini" without regard to case (the host writes "zeva_BBS.ini"),
// else defaultName.
std::string Plugin_SettingsPath(const char* folder, const char* defaultName = "zeva_bbs.ini");
