// CSubj: construction, records, marks, board settings, loading and writing.
#include "store/Subj.h"

#include "base/clock.h"
#include "base/debug.h"
#include "base/fileio.h"
#include "base/profile.h"
#include "base/sjis.h"
#include "store/TextArena.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {
const char kSection[] = "BASIC";
const char kIniName[] = "zeva_BBS.ini";
const int kFirstCapacity = 2000;

bool IsId(int32_t no)
{
    return (no & SUBJ_NO_ID) != 0;
}
}

CSubj::CSubj()
    : m_msgCount(0), m_modified(1), m_readOnly(0), m_capacity(0), m_count(0), m_items(nullptr)
{
    Debug_Out("CSubj::CSubj()  CSubjオブジェクト作成\n");
    for (int t = 0; t < A_COUNT; ++t)
        m_atoms[t].SetMode(t == A_EMAIL || t == A_HP || t == A_ID || t == A_IMAGE);
    memset(&m_header, 0, sizeof m_header);
    memset(&m_settings, 0, sizeof m_settings);
    m_path[0] = 0;
    m_iniPath[0] = 0;
    m_noStr[0] = 0;
    m_pnoStr[0] = 0;
}

CSubj::~CSubj()
{
    ClearAll();
    free(m_items);
    Debug_Out("CSubj::CSubj()  CSubjオブジェクト破棄\n");
}

// ---------------------------------------------------------------- records

void CSubj::InitItem(SubjItem* item)
{
    memset(item, 0, sizeof *item);
    item->no = SUBJ_NO_UNKNOWN;
    item->pno = SUBJ_NO_UNKNOWN;
    item->color = SUBJ_NO_COLOR;
}

char* CSubj::AllocText(const char* text, size_t len)
{
    if (len == (size_t)-1)
        return nullptr;
    char* p = (char*)malloc(len + 1);
    if (!p)
        return nullptr;
    if (len)
        memcpy(p, text, len);
    p[len] = 0;
    return p;
}

char* CSubj::AllocText(const char* text)
{
    if (!text)
        text = "";
    return AllocText(text, strlen(text));
}

void CSubj::FreeText(char* text)
{
    if (TextArena_Release(text))
        return;
    free(text);
}

int32_t CSubj::MakeIdNo(const char* text)
{
    return SUBJ_NO_ID | (int32_t)m_atoms[A_ID].Add(text);
}

const char* CSubj::GetIdText(int32_t no)
{
    if (!IsId(no))
        return "";
    return m_atoms[A_ID].Get(no & 0x7FFFFFFF);
}

int CSubj::Grow()
{
    if (m_capacity > INT_MAX / 2)
        return 0;
    int cap = m_capacity ? m_capacity * 2 : kFirstCapacity;
    SubjItem* p = (SubjItem*)realloc(m_items, sizeof(SubjItem) * (size_t)cap);
    if (!p)
        return 0;
    m_items = p;
    m_capacity = cap;
    return 1;
}

void CSubj::ReleaseAtoms(SubjItem& item)
{
    m_atoms[A_TITLE].Delete(item.title);
    m_atoms[A_NAME].Delete(item.name);
    m_atoms[A_POST].Delete(item.post);
    m_atoms[A_FOLLOW].Delete(item.follow);
    m_atoms[A_EMAIL].Delete(item.email);
    m_atoms[A_HP].Delete(item.hp);
    m_atoms[A_IMAGE].Delete(item.image);
    if (IsId(item.no))
        m_atoms[A_ID].Delete(item.no & 0x7FFFFFFF);
    if (IsId(item.pno))
        m_atoms[A_ID].Delete(item.pno & 0x7FFFFFFF);
    item.title = item.name = item.post = item.follow = 0;
    item.email = item.hp = item.image = 0;
}

void CSubj::EnterStrings(SubjItem& dst, const SubjItem& src, CSubj* from)
{
    dst.title = m_atoms[A_TITLE].Add(from->m_atoms[A_TITLE].Get(src.title));
    dst.name = m_atoms[A_NAME].Add(from->m_atoms[A_NAME].Get(src.name));
    dst.post = m_atoms[A_POST].Add(from->m_atoms[A_POST].Get(src.post));
    dst.follow = m_atoms[A_FOLLOW].Add(from->m_atoms[A_FOLLOW].Get(src.follow));
    dst.email = m_atoms[A_EMAIL].Add(from->m_atoms[A_EMAIL].Get(src.email));
    dst.hp = m_atoms[A_HP].Add(from->m_atoms[A_HP].Get(src.hp));
    dst.image = m_atoms[A_IMAGE].Add(from->m_atoms[A_IMAGE].Get(src.image));
    dst.no = IsId(src.no) ? MakeIdNo(from->GetIdText(src.no)) : src.no;
    dst.pno = IsId(src.pno) ? MakeIdNo(from->GetIdText(src.pno)) : src.pno;
}

int CSubj::Append(const SubjItem& item)
{
    if (m_readOnly || (m_count >= m_capacity && !Grow())) {
        // The record was handed over: what it holds is released, not leaked.
        SubjItem dead = item;
        ReleaseAtoms(dead);
        FreeText(dead.msg);
        if (m_readOnly)
            return m_count;
        Debug_Out("CSubj::Append() - メモリが足りません\n");
        return -1;
    }
    m_items[m_count] = item;
    ++m_msgCount;
    m_modified = 1;
    return m_count++;
}

// Takes record index out of the array; its atoms and text are the caller's.
void CSubj::RemoveAt(int index)
{
    memmove(&m_items[index], &m_items[index + 1], sizeof(SubjItem) * (size_t)(m_count - index - 1));
    --m_count;
    --m_msgCount;
    m_modified = 1;
}

void CSubj::Delete(int index)
{
    if (m_readOnly || !CheckIndex(index))
        return;
    ReleaseAtoms(m_items[index]);
    FreeText(m_items[index].msg);
    RemoveAt(index);
}

void CSubj::DeleteMany(const std::vector<int>& indices)
{
    if (m_readOnly || indices.empty())
        return;
    std::vector<char> dead((size_t)m_count, 0);
    for (int i : indices)
        if (CheckIndex(i))
            dead[(size_t)i] = 1;
    int kept = 0;
    for (int i = 0; i < m_count; ++i) {
        if (!dead[(size_t)i]) {
            m_items[kept++] = m_items[i];
            continue;
        }
        ReleaseAtoms(m_items[i]);
        FreeText(m_items[i].msg);
        --m_msgCount;
    }
    if (kept != m_count)
        m_modified = 1;
    m_count = kept;
}

int CSubj::Move(int index, CSubj* other)
{
    if (m_readOnly)
        return 1;
    // A move that can't land in the other collection keeps the article here.
    if (!CheckIndex(index) || !other || other == this || other->m_readOnly)
        return 0;
    if (other->m_count >= other->m_capacity && !other->Grow())
        return 0;
    SubjItem moved = m_items[index];
    other->EnterStrings(moved, m_items[index], this);
    other->Append(moved);
    ReleaseAtoms(m_items[index]);
    RemoveAt(index);
    return 1;
}

int CSubj::Copy(int index, CSubj* other)
{
    if (!CheckIndex(index) || !other || other == this || other->m_readOnly)
        return 0;
    if (other->m_count >= other->m_capacity && !other->Grow())
        return 0;
    SubjItem copy = m_items[index];
    copy.msg = AllocText(m_items[index].msg);
    if (!copy.msg) {
        Debug_Out("CSubj::Copy() - メモリが足りません\n");
        return 0;
    }
    other->EnterStrings(copy, m_items[index], this);
    other->Append(copy);
    return 1;
}

void CSubj::ClearAll()
{
    for (int i = 0; i < m_count; ++i) {
        FreeText(m_items[i].msg);
        --m_msgCount;
    }
    m_count = 0;
    for (int t = 0; t < A_COUNT; ++t)
        m_atoms[t].Reset();
    if (m_msgCount != 0) {
        Debug_Out("CSubj::ClearAll() - メモリリーク発生!\n");
        m_msgCount = 0;
    }
    m_modified = 1;
    m_readOnly = 0;
}

// ---------------------------------------------------------------- marks and strings

int CSubj::SetAtr(int index, int clear, int set)
{
    if (m_readOnly)
        return 1;
    if (!CheckIndex(index)) {
        Debug_Out("CSubj::SetAtr() - 不正なインデックスへの代入\r\n");
        return 0;
    }
    uint8_t old = m_items[index].atr;
    uint8_t now = (uint8_t)((old & ~clear) | set);
    if (now == old)
        return 0;
    m_items[index].atr = now;
    m_modified = 1;
    return 1;
}

int CSubj::GetAtr(int index, int mask)
{
    if (!CheckIndex(index)) {
        Debug_Out("CSubj::GetAtr() - 不正なインデックスの参照\r\n");
        return 0;
    }
    return m_items[index].atr & mask;
}

void CSubj::SetTitle(const char* text)
{
    if (m_readOnly)
        return;
    char now[sizeof m_header.title];
    Str_Copy(now, sizeof now, text);
    if (strcmp(now, m_header.title) != 0) {
        memcpy(m_header.title, now, sizeof now);
        m_modified = 1;
    }
}

const char* CSubj::GetPostStr(int index)
{
    if (!CheckIndex(index)) {
        Debug_Out("CSubj::GetPostStr() - 不正なインデックスの参照\r\n");
        return "";
    }
    const char* own = m_atoms[A_POST].Get(m_items[index].post);
    return (m_items[index].post && own[0] != '-') ? own : m_header.post;
}

const char* CSubj::GetFollowStr(int index)
{
    if (!CheckIndex(index)) {
        Debug_Out("CSubj::GetFollowStr() - 不正なインデックスの参照\r\n");
        return "";
    }
    const char* own = m_atoms[A_FOLLOW].Get(m_items[index].follow);
    return (m_items[index].follow && own[0] != '-') ? own : m_header.follow;
}

void CSubj::SetPostStr(int index, const char* text)
{
    if (!CheckIndex(index))
        return;
    m_atoms[A_POST].Delete(m_items[index].post);
    m_items[index].post = m_atoms[A_POST].Add(text);
}

void CSubj::SetFollowStr(int index, const char* text)
{
    if (!CheckIndex(index))
        return;
    m_atoms[A_FOLLOW].Delete(m_items[index].follow);
    m_items[index].follow = m_atoms[A_FOLLOW].Add(text);
}

const char* CSubj::GetTitle(int index)
{
    return CheckIndex(index) ? m_atoms[A_TITLE].Get(m_items[index].title) : "";
}

const char* CSubj::GetName(int index)
{
    return CheckIndex(index) ? m_atoms[A_NAME].Get(m_items[index].name) : "";
}

const char* CSubj::GetEmail(int index)
{
    return CheckIndex(index) ? m_atoms[A_EMAIL].Get(m_items[index].email) : "";
}

const char* CSubj::GetHp(int index)
{
    return CheckIndex(index) ? m_atoms[A_HP].Get(m_items[index].hp) : "";
}

const char* CSubj::GetImage(int index)
{
    return CheckIndex(index) ? m_atoms[A_IMAGE].Get(m_items[index].image) : "";
}

const char* CSubj::GetMsg(int index)
{
    return (CheckIndex(index) && m_items[index].msg) ? m_items[index].msg : "";
}

void CSubj::CountAtr()
{
    SubjHeader& h = m_header;
    h.total = m_count;
    h.unread = h.unsent = h.held = h.patrol = 0;
    for (int i = 0; i < m_count; ++i) {
        uint8_t a = m_items[i].atr;
        if (a & ATR_N)
            ++h.unread;
        if ((a & ATR_U) && !(a & ATR_B))
            ++h.unsent;
        if ((a & ATR_U) && (a & ATR_B))
            ++h.held;
        if (a & ATR_R)
            ++h.patrol;
    }
}

// ---------------------------------------------------------------- settings

// The settings file sits in the store's folder. A folder so long that the
// name would not fit leaves the settings path unknown rather than cut.
void CSubj::DerivePaths(const char* path)
{
    m_iniPath[0] = 0;
    if (!path || strlen(path) >= sizeof m_path) {
        m_path[0] = 0;
        return;
    }
    Str_Copy(m_path, sizeof m_path, path);
    size_t folder = (size_t)(Path_FileName(m_path) - m_path);
    if (folder + sizeof kIniName > sizeof m_iniPath)
        return;
    memcpy(m_iniPath, m_path, folder);
    memcpy(m_iniPath + folder, kIniName, sizeof kIniName);
}

void CSubj::ReadSettings()
{
    BoardSettings& s = m_settings;
    struct {
        const char* key;
        char* buf;
    } texts[] = {
        {"LIB", s.lib},       {"URL", s.url},   {"UPURL", s.upurl}, {"NAME", s.name},
        {"EMAIL", s.email},   {"HP", s.hp},     {"KEY", s.key},     {"USER", s.user},
        {"PASS", s.pass},     {"PARAM1", s.param1}, {"PARAM2", s.param2},
    };
    const char* ini = m_iniPath;
    for (auto& t : texts) {
        t.buf[0] = 0;
        if (ini[0])
            Profile_GetString(kSection, t.key, "", t.buf, 260, ini);
    }
    s.charset[0] = 0;
    if (ini[0])
        Profile_GetString(kSection, "CHARSET", "", s.charset, sizeof s.charset, ini);
    static const int kClmDefault[4] = {100, 200, 130, 120};
    static const char* const kClmKey[4] = {"CLM00", "CLM01", "CLM02", "CLM03"};
    for (int i = 0; i < 4; ++i)
        s.clm[i] = ini[0] ? Profile_GetInt(kSection, kClmKey[i], kClmDefault[i], ini) : kClmDefault[i];
    s.viewflag = ini[0] ? Profile_GetInt(kSection, "VIEWFLAG", 66, ini) : 66;
    s.tree = ini[0] ? Profile_GetInt(kSection, "TREE", 1, ini) : 1;
    s.clmsort = ini[0] ? Profile_GetInt(kSection, "CLMSORT", 0, ini) : 0;
    s.clmsortup = ini[0] ? Profile_GetInt(kSection, "CLMSORTUP", 1, ini) : 1;
    s.htmlview = ini[0] ? Profile_GetInt(kSection, "HTMLVIEW", 0, ini) : 0;
}

void CSubj::WriteViewSettings()
{
    if (!m_iniPath[0])
        return;
    const BoardSettings& s = m_settings;
    const struct {
        const char* key;
        int value;
    } values[] = {
        {"CLM00", s.clm[0]}, {"CLM01", s.clm[1]},   {"CLM02", s.clm[2]},
        {"CLM03", s.clm[3]}, {"TREE", s.tree},      {"VIEWFLAG", s.viewflag},
        {"CLMSORT", s.clmsort}, {"CLMSORTUP", s.clmsortup}, {"HTMLVIEW", s.htmlview},
    };
    for (const auto& v : values) {
        char text[16];
        Str_Format(text, sizeof text, "%d", v.value);
        Profile_WriteString(kSection, v.key, text, m_iniPath);
    }
}

// ---------------------------------------------------------------- files

void CSubj::Profiler(uint32_t startTick)
{
    Debug_Printf("CSubj::Profiler() = %d\n", (int)(Clock_TickMs() - startTick));
}

int CSubj::LoadFile(const char* path)
{
    Debug_Printf("CSubj::LoadFile - %s\n", path ? path : "");
    uint32_t start = Clock_TickMs();
    ClearAll();
    memset(&m_header, 0, sizeof m_header);
    DerivePaths(path);
    ReadSettings();
    int ok = 0;
    if (m_path[0]) {
        size_t size = 0;
        char* block = File_ReadBlock(m_path, &size, 1, 1);
        if (block) {
            // The message texts stay in the block (see TextArena.h).
            TextArena* arena = TextArena_Adopt(block, size + 2);
            ParseBuffer(block, size, arena);
            if (arena)
                TextArena_Settle(arena);
            else
                free(block);
            ok = 1;
        }
    }
    m_modified = 0;
    Profiler(start);
    return ok;
}

int CSubj::LoadHeader(const char* path)
{
    DerivePaths(path);
    memset(&m_header, 0, sizeof m_header);
    if (!m_path[0])
        return 0;
    char buf[512];
    long n = File_ReadHead(m_path, buf, sizeof buf);
    if (n < 0)
        return 0;
    ParseSummary(buf, (size_t)n);
    return 1;
}

int CSubj::Update()
{
    Debug_Printf("CSubj::Update - %s\n", m_path);
    if (m_readOnly)
        return 1;
    WriteViewSettings();
    if (!m_modified)
        return 1;
    if (!m_path[0])
        return 0;
    if (!WriteFile())
        return 0;
    m_modified = 0;
    return 1;
}
