// CSubj: the articles of one ZVT file in memory, with the list header, eight
// atom tables and the board settings of the file's folder.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

#include "base/lock.h"
#include "store/Atom.h"

enum : int32_t {
    SUBJ_NO_UNKNOWN = 0x7FFFFFFF,          // "*"
    SUBJ_NO_ID = (int32_t)0x80000000u,     // top bit: identifier atom in the low 31 bits
};

enum : uint8_t {
    ATR_N = 0x01,   // unread
    ATR_U = 0x02,   // composed, unsent
    ATR_B = 0x04,   // held back
    ATR_V = 0x08,   // virtual
    ATR_O = 0x10,   // overwrite (plug-in files)
    ATR_R = 0x20,   // marked for patrol
    ATR_D = 0x40,   // delete (plug-in files)
};

enum : uint32_t { SUBJ_NO_COLOR = 0xFFFFFFFFu };

struct SubjItem {
    int32_t no;
    int32_t pno;
    uint16_t date;   // (year - 1970) * 512 + month * 32 + day; 0 = none
    uint16_t time;   // hour * 60 + minute
    uint32_t color;  // COLORREF, SUBJ_NO_COLOR = none
    uint8_t atr;
    int32_t title, name, post, follow, email, hp, image;
    char* msg;       // owned, zero-terminated
};

struct SubjHeader {
    int32_t total;
    int32_t unread;
    int32_t unsent;
    int32_t held;
    int32_t patrol;
    char title[260];
    char post[260];
    char follow[260];
};

// Section "BASIC" of the folder's "zeva_BBS.ini".
struct BoardSettings {
    char lib[260], url[260], upurl[260], name[260], email[260], hp[260];
    char key[260], user[260], pass[260], param1[260], param2[260];
    int clm[4];      // CLM00..CLM03
    int viewflag;    // VIEWFLAG
    int tree;        // TREE
    int clmsort;     // CLMSORT
    int clmsortup;   // CLMSORTUP
    char charset[99];
    int htmlview;    // HTMLVIEW
};

struct PostRequest;
struct TextArena;

class CSubj {
public:
    enum AtomTable { A_TITLE, A_NAME, A_POST, A_FOLLOW, A_EMAIL, A_HP, A_ID, A_IMAGE, A_COUNT };

    CSubj();
    ~CSubj();
    CSubj(const CSubj&) = delete;
    CSubj& operator=(const CSubj&) = delete;

    void Lock() { m_lock.Enter(); }
    void Unlock() { m_lock.Leave(); }
    void SetReadOnly(int flag) { m_readOnly = flag ? 1 : 0; }
    int IsReadOnly() const { return m_readOnly; }
    int IsModified() const { return m_modified; }
    void SetModified() { m_modified = 1; }

    int LoadFile(const char* path);
    int LoadHeader(const char* path);
    // Parses ZVT bytes held in buf[1 .. size] (buf[0] and buf[size + 1] are
    // zero bytes), takes the header lines and appends the records. The bytes
    // are only read; a zero byte inside a message text is taken as a blank.
    // With an arena (the block holding buf), message texts stay in the block
    // instead of being copied, and the block is written to.
    void ParseBuffer(char* buf, size_t size, TextArena* arena = nullptr);
    // Summary read over size bytes at buf: header lines only, up to the first
    // empty line. The header block is not cleared here.
    void ParseSummary(const char* buf, size_t size);
    int Update();
    // The ZVT bytes the writer produces for this collection.
    void Serialize(std::string& out);
    void ClearAll();

    // Takes over the record (its atoms in this collection's tables, its
    // text); returns its index. A read-only collection adds nothing, returns
    // the count and releases what it was given; -1 without memory.
    int Append(const SubjItem& item);
    void Delete(int index);
    // Deletes every listed index (any order; repeats and bad indices are
    // ignored) in one pass: the same result as Delete from the highest
    // listed index down, without moving the array once per article.
    void DeleteMany(const std::vector<int>& indices);
    // Move and Copy return 0 and change nothing when the other collection
    // can't take the record (read-only, no memory, itself).
    int Move(int index, CSubj* other);
    int Copy(int index, CSubj* other);
    // Returns the articles that arrived; writes the store when something
    // changed. A failed write leaves the collection modified.
    int Merge(CSubj* incoming);
    // Partner of incoming record i in this store for a merge: its index or
    // -1; *replace and *markUnread tell what the merge does with it. One
    // question, answered by a scan from the first record; Merge answers all
    // of its questions through an index that gives the same answers.
    int FindPartner(CSubj* incoming, int i, int* replace, int* markUnread);
    // The text as a merge stores it: trailing lines of only blanks and tabs
    // removed, ending with exactly one LF; a text of only blanks, tabs and LF
    // stays as it is. A new allocation (AllocText), nullptr without memory.
    static char* NormalizedText(const char* text);

    int SetAtr(int index, int clear, int set);
    int GetAtr(int index, int mask);
    void SetTitle(const char* text);
    const char* GetPostStr(int index);
    const char* GetFollowStr(int index);
    void SetPostStr(int index, const char* text);
    void SetFollowStr(int index, const char* text);

    const char* NoStr(int index);
    const char* PnoStr(int index);
    // buffers of at least 32 bytes; return 1, or 0 for a bad index
    int DateTimeStr(int index, char* buffer);
    int DateStr(int index, char* buffer);
    int TimeStr(int index, char* buffer);

    // Record helpers for callers that build records: an empty record (numbers
    // unknown, no date, no colour, no strings, no text); message texts are
    // allocated and freed with these two.
    static void InitItem(SubjItem* item);
    static char* AllocText(const char* text, size_t len);
    static char* AllocText(const char* text);
    static void FreeText(char* text);
    // Number field for an identifier text entered into this collection.
    int32_t MakeIdNo(const char* text);

    int GetCount() const { return m_count; }
    int Capacity() const { return m_capacity; }
    const SubjItem& GetItem(int index) const { return m_items[index]; }
    SubjItem* GetItemPtr(int index) { return (index >= 0 && index < m_count) ? &m_items[index] : nullptr; }
    const char* GetTitle(int index);
    const char* GetName(int index);
    const char* GetEmail(int index);
    const char* GetHp(int index);
    const char* GetImage(int index);
    const char* GetMsg(int index);
    const char* GetIdText(int32_t no);   // identifier text of an S-form number

    void CountAtr();
    SubjHeader& Header() { return m_header; }
    BoardSettings& Settings() { return m_settings; }
    const char* GetPath() const { return m_path; }
    const char* GetIniPath() const { return m_iniPath; }
    CAtom& Atoms(AtomTable t) { return m_atoms[t]; }
    int OwnedTexts() const { return m_msgCount; }

    // Posting request from the article's effective new-article template.
    int MakePostRequest(int index, PostRequest* request);

    static void Profiler(uint32_t startTick);

private:
    void SerializeHeader(std::string& out);
    void SerializeRecord(std::string& out, size_t& len, int index);
    void PrefetchRecord(int index);
    // Replaces the file at m_path with the ZVT bytes (atomically); 1 or 0.
    int WriteFile();
    void DerivePaths(const char* path);
    void ReadSettings();
    void WriteViewSettings();
    void ReleaseAtoms(SubjItem& item);
    // Enters every string of src (whose atoms belong to from) into this
    // collection's tables; the text is left to the caller.
    void EnterStrings(SubjItem& dst, const SubjItem& src, CSubj* from);
    void RemoveAt(int index);
    int Grow();
    int CheckIndex(int index) const { return index >= 0 && index < m_count; }

    CCritSec m_lock;
    int m_msgCount;
    int m_modified;
    int m_readOnly;
    int m_capacity;
    int m_count;
    SubjItem* m_items;
    SubjHeader m_header;
    char m_path[260];
    CAtom m_atoms[A_COUNT];
    char m_iniPath[260];
    BoardSettings m_settings;
    char m_noStr[260];
    char m_pnoStr[260];
};
