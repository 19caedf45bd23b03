// CProfile: the program's own reader and writer of settings files
// ("[section]" header lines and "key=value" lines). The whole file is held as
// lines in file order; nothing is parsed beyond section headers and key
// prefixes, so comments, blank lines and unknown lines survive a save.
//
// Reading matches section and key without regard to case; writing matches
// them with case, so setting "url" beside an existing "URL" adds a line.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>

// A font as kept in settings: "<prefix>Face", "<prefix>Size",
// "<prefix>Italic", "<prefix>Weight".
struct ProfileFont {
    char face[32];
    int32_t size;
    int32_t italic;
    int32_t weight;
};

class CProfile {
public:
    enum {
        kLineMax = 1027,    // bytes of text a line holds
        kReadLineMax = 510, // longer lines of a file are cut here when read
        kValueMax = 511,    // GetString copies at most this much of a value
        kIntText = 99,      // GetInt reads the value as at most this much text
    };

    CProfile();
    ~CProfile();   // saves, then frees the lines
    CProfile(const CProfile&) = delete;
    CProfile& operator=(const CProfile&) = delete;

    int Open(const char* path);   // remember the path and Load
    int Load();                   // 0 if the file can't be read (no lines then)
    // Writes only when modified; 0 if it can't be written, or when lines
    // were lost for want of memory since the last load (the file stays).
    int Save();
    // Replaces the lines by those of the given text (as Load does with a file).
    void Parse(const char* data, size_t size);
    // The bytes Save writes: every line followed by CR LF.
    void Serialize(std::string& out) const;

    void SetSection(const char* name);
    int GetString(const char* key, char* buffer, size_t size, const char* def);
    int GetInt(const char* key, int def);
    // value nullptr removes the key's line. Always marks the object modified.
    void SetString(const char* key, const char* value);
    void SetInt(const char* key, int value);
    void GetFont(const char* prefix, ProfileFont* font, const ProfileFont* def);
    void SetFont(const char* prefix, const ProfileFont* font);

    int IsModified() const { return m_modified; }
    const char* GetPath() const { return m_path; }
    const char* GetSectionHeader() const { return m_section; }
    int LineCount() const { return m_count; }

private:
    struct Line {
        Line* next;
        std::string text;
    };

    void Clear();
    // Without memory these change nothing and mark the lines incomplete.
    Line* NewLine(const char* text, size_t len);
    bool AddLine(const char* text, size_t len);
    void InsertAfter(Line* at, const char* text);
    bool SetLineText(Line* l, const char* text);
    const char* Find(const char* key) const;

    char m_path[260];
    char m_section[kLineMax + 1];
    int m_modified;
    int m_incomplete;   // a line was lost for want of memory: Save writes nothing
    int m_count;
    Line* m_head;
    Line* m_tail;
};
