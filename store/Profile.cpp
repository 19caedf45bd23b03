#include "store/Profile.h"

#include "base/fileio.h"
#include "base/sjis.h"

#include <limits.h>
#include <string.h>

#include <new>
#include <vector>

CProfile::CProfile() : m_modified(0), m_incomplete(0), m_count(0), m_head(nullptr), m_tail(nullptr)
{
    m_path[0] = 0;
    // Matches no header line, so nothing is found before a section is chosen.
    Str_Copy(m_section, sizeof m_section, "NULL");
}

CProfile::~CProfile()
{
    Save();
    Clear();
}

void CProfile::Clear()
{
    while (m_head) {
        Line* next = m_head->next;
        delete m_head;
        m_head = next;
    }
    m_tail = nullptr;
    m_count = 0;
}

// A line node holding text; nullptr without memory.
CProfile::Line* CProfile::NewLine(const char* text, size_t len)
{
    Line* l = new (std::nothrow) Line;
    if (!l) {
        m_incomplete = 1;
        return nullptr;
    }
    l->next = nullptr;
    try {
        l->text.assign(text, len);
    } catch (const std::bad_alloc&) {
        delete l;
        m_incomplete = 1;
        return nullptr;
    }
    return l;
}

bool CProfile::AddLine(const char* text, size_t len)
{
    Line* l = NewLine(text, len);
    if (!l)
        return false;
    if (m_tail)
        m_tail->next = l;
    else
        m_head = l;
    m_tail = l;
    ++m_count;
    return true;
}

void CProfile::InsertAfter(Line* at, const char* text)
{
    Line* l = NewLine(text, strlen(text));
    if (!l)
        return;
    l->next = at->next;
    at->next = l;
    if (m_tail == at)
        m_tail = l;
    ++m_count;
}

bool CProfile::SetLineText(Line* l, const char* text)
{
    try {
        l->text = text;
        return true;
    } catch (const std::bad_alloc&) {
        m_incomplete = 1;
        return false;
    }
}

int CProfile::Open(const char* path)
{
    Str_Copy(m_path, sizeof m_path, path);
    return Load();
}

int CProfile::Load()
{
    Clear();
    m_modified = 0;
    m_incomplete = 0;
    if (!m_path[0])
        return 0;
    std::vector<char> buf;
    if (!File_ReadAll(m_path, buf)) {
        // A file that is there but could not be read in (no memory for it)
        // must not be replaced by the few lines set afterwards.
        if (File_Exists(m_path))
            m_incomplete = 1;
        return 0;
    }
    Parse(buf.data(), buf.size());
    return m_incomplete ? 0 : 1;
}

void CProfile::Parse(const char* data, size_t size)
{
    Clear();
    m_incomplete = 0;
    size_t start = 0;
    while (start < size) {
        const char* line = data + start;
        const char* lf = (const char*)memchr(line, '\n', size - start);
        size_t len = lf ? (size_t)(lf - line) : size - start;
        start += len + 1;
        // Lines end with CR LF; a lone LF ends a line too.
        if (lf && len > 0 && line[len - 1] == '\r')
            --len;
        // A line is text: it ends at a zero byte, and longer lines are cut.
        const char* nul = (const char*)memchr(line, 0, len);
        if (nul)
            len = (size_t)(nul - line);
        if (len > kReadLineMax)
            len = kReadLineMax;
        if (!AddLine(line, len))
            return;   // without memory: what is held is incomplete (see Save)
    }
}

void CProfile::Serialize(std::string& out) const
{
    out.clear();
    for (const Line* l = m_head; l; l = l->next) {
        out += l->text;
        out += "\r\n";
    }
}

int CProfile::Save()
{
    if (!m_modified)
        return 1;
    // Lines that could not be held without memory would be missing from the
    // file: it is left as it is.
    if (!m_path[0] || m_incomplete)
        return 0;
    std::string out;
    try {
        Serialize(out);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (!File_Replace(m_path, out.data(), out.size()))
        return 0;
    m_modified = 0;
    return 1;
}

void CProfile::SetSection(const char* name)
{
    Str_Format(m_section, sizeof m_section, "[%s]", name ? name : "");
}

// Value of the first line of the current section that starts with key and
// "=", section and key compared without regard to case; nullptr if none.
const char* CProfile::Find(const char* key) const
{
    size_t klen = strlen(key);
    bool inside = false;
    for (const Line* l = m_head; l; l = l->next) {
        const char* t = l->text.c_str();
        if (t[0] == '[') {
            inside = Str_ICmp(t, m_section) == 0;
            continue;
        }
        if (inside && Str_NICmp(t, key, klen) == 0 && t[klen] == '=')
            return t + klen + 1;
    }
    return nullptr;
}

int CProfile::GetString(const char* key, char* buffer, size_t size, const char* def)
{
    if (!buffer || size == 0)
        return 0;
    const char* value = Find(key ? key : "");
    if (!value)
        return (int)Str_Copy(buffer, size, def);
    return (int)Str_Copy(buffer, size < kValueMax + 1 ? size : kValueMax + 1, value);
}

int CProfile::GetInt(const char* key, int def)
{
    const char* value = Find(key ? key : "");
    if (!value)
        return def;
    char text[kIntText + 1];
    Str_Copy(text, sizeof text, value);
    // Decimal as atoi reads it: blanks, a sign, digits; held within int.
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f')
        ++p;
    bool neg = false;
    if (*p == '+' || *p == '-')
        neg = *p++ == '-';
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > (long long)INT_MAX + 1)
            v = (long long)INT_MAX + 1;
    }
    if (neg)
        v = -v;
    if (v > INT_MAX)
        v = INT_MAX;
    return (int)v;
}

void CProfile::SetString(const char* key, const char* value)
{
    m_modified = 1;
    // Before a section is chosen there is nowhere to put a key; adding the
    // placeholder "NULL" as a line would leave a stray key in the last section.
    if (m_section[0] != '[')
        return;
    if (!key)
        key = "";
    size_t klen = strlen(key);
    char text[kLineMax + 1];
    if (value)
        Str_Format(text, sizeof text, "%s=%s", key, value);

    // The key's line is looked for in every block of the section, as a read
    // finds it; a new line goes at the end of the section's first block.
    bool inside = false, seen = false;
    Line* prev = nullptr;
    Line* insertAfter = nullptr;   // last line of the first block
    bool firstBlockOpen = false;
    for (Line* l = m_head; l; prev = l, l = l->next) {
        const char* t = l->text.c_str();
        if (t[0] == '[') {
            inside = strcmp(t, m_section) == 0;
            if (firstBlockOpen)
                firstBlockOpen = false;
            else if (inside && !seen) {
                seen = true;
                firstBlockOpen = true;
                insertAfter = l;
            }
            continue;
        }
        if (firstBlockOpen)
            insertAfter = l;
        if (inside && strncmp(t, key, klen) == 0 && t[klen] == '=') {
            if (value) {
                if (!SetLineText(l, text))
                    return;
            } else {
                if (prev)
                    prev->next = l->next;
                else
                    m_head = l->next;
                if (m_tail == l)
                    m_tail = prev;
                delete l;
                --m_count;
            }
            return;
        }
    }
    if (!value)
        return;
    if (!seen) {
        if (AddLine(m_section, strlen(m_section)))
            AddLine(text, strlen(text));
        return;
    }
    InsertAfter(insertAfter, text);
}

void CProfile::SetInt(const char* key, int value)
{
    char text[16];
    Str_Format(text, sizeof text, "%d", value);
    SetString(key, text);
}

void CProfile::GetFont(const char* prefix, ProfileFont* font, const ProfileFont* def)
{
    if (!font)
        return;
    static const ProfileFont none = {};
    if (!def)
        def = &none;
    char key[128];
    // def may be font itself: read it into a copy first.
    ProfileFont d = *def;
    d.face[sizeof d.face - 1] = 0;
    Str_Format(key, sizeof key, "%sFace", prefix ? prefix : "");
    GetString(key, font->face, sizeof font->face, d.face);
    Str_Format(key, sizeof key, "%sSize", prefix ? prefix : "");
    font->size = GetInt(key, d.size);
    Str_Format(key, sizeof key, "%sItalic", prefix ? prefix : "");
    font->italic = GetInt(key, d.italic);
    Str_Format(key, sizeof key, "%sWeight", prefix ? prefix : "");
    font->weight = GetInt(key, d.weight);
}

void CProfile::SetFont(const char* prefix, const ProfileFont* font)
{
    if (!font)
        return;
    char key[128], face[sizeof font->face];
    Str_CopyN(face, sizeof face, font->face, sizeof font->face);
    Str_Format(key, sizeof key, "%sFace", prefix ? prefix : "");
    SetString(key, face);
    Str_Format(key, sizeof key, "%sSize", prefix ? prefix : "");
    SetInt(key, font->size);
    Str_Format(key, sizeof key, "%sItalic", prefix ? prefix : "");
    SetInt(key, font->italic);
    Str_Format(key, sizeof key, "%sWeight", prefix ? prefix : "");
    SetInt(key, font->weight);
}
