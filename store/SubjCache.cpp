#include "store/SubjCache.h"

#include "base/fileio.h"
#include "base/sjis.h"
#include "store/Subj.h"

#include <string.h>

#include <new>

namespace {
// Field offsets of a record in the file.
enum {
    OFF_INUSE = 0,
    OFF_PATH = 1,
    OFF_TIME = 264,
    OFF_RESERVED = 272,
    OFF_UNREAD = 276,
    OFF_UNSENT = 280,
    OFF_HELD = 284,
    OFF_PATROL = 288,
    OFF_TITLE = 292,
};

void Put32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = (unsigned char)(v >> (8 * i));
}

uint32_t Get32(const unsigned char* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
}

CSubjCache::CSubjCache() : m_current(-1)
{
    m_path[0] = 0;
}

CSubjCache::~CSubjCache() = default;

void CSubjCache::Encode(const SubjCacheRecord& rec, unsigned char out[kRecordSize])
{
    memset(out, 0, kRecordSize);
    out[OFF_INUSE] = rec.inUse;
    Str_CopyN((char*)out + OFF_PATH, sizeof rec.path, rec.path, sizeof rec.path);
    Put32(out + OFF_TIME, (uint32_t)rec.writeTime);
    Put32(out + OFF_TIME + 4, (uint32_t)(rec.writeTime >> 32));
    Put32(out + OFF_RESERVED, (uint32_t)rec.reserved);
    Put32(out + OFF_UNREAD, (uint32_t)rec.unread);
    Put32(out + OFF_UNSENT, (uint32_t)rec.unsent);
    Put32(out + OFF_HELD, (uint32_t)rec.held);
    Put32(out + OFF_PATROL, (uint32_t)rec.patrol);
    Str_CopyN((char*)out + OFF_TITLE, sizeof rec.title, rec.title, sizeof rec.title);
}

void CSubjCache::Decode(const unsigned char in[kRecordSize], SubjCacheRecord* rec)
{
    rec->inUse = in[OFF_INUSE];
    // The fields are cut to their size even if the file lacks a terminator.
    Str_CopyN(rec->path, sizeof rec->path, (const char*)in + OFF_PATH, sizeof rec->path);
    rec->writeTime = (uint64_t)Get32(in + OFF_TIME) | (uint64_t)Get32(in + OFF_TIME + 4) << 32;
    rec->reserved = (int32_t)Get32(in + OFF_RESERVED);
    rec->unread = (int32_t)Get32(in + OFF_UNREAD);
    rec->unsent = (int32_t)Get32(in + OFF_UNSENT);
    rec->held = (int32_t)Get32(in + OFF_HELD);
    rec->patrol = (int32_t)Get32(in + OFF_PATROL);
    Str_CopyN(rec->title, sizeof rec->title, (const char*)in + OFF_TITLE, sizeof rec->title);
}

int CSubjCache::Load(const char* folder)
{
    m_records.clear();
    m_current = -1;
    Str_Copy(m_path, sizeof m_path, folder);
    // The folder may be given with or without its closing separator.
    size_t len = strlen(m_path);
    if (len && *Path_FileName(m_path) && m_path[len - 1] != '/')
#ifdef _WIN32
        Str_Cat(m_path, sizeof m_path, "\\");
#else
        Str_Cat(m_path, sizeof m_path, "/");
#endif
    Str_Cat(m_path, sizeof m_path, "ZvtCache.tmp");

    std::vector<char> buf;
    if (!File_ReadAll(m_path, buf))
        return 0;
    // Whole records only; a short tail is ignored.
    size_t n = buf.size() / kRecordSize;
    try {
        m_records.resize(n);
    } catch (const std::bad_alloc&) {
        return 0;   // no memory for the records: an empty cache
    }
    for (size_t i = 0; i < n; ++i) {
        Decode((const unsigned char*)buf.data() + i * kRecordSize, &m_records[i]);
        m_records[i].inUse = 0;
    }
    return 1;
}

const SubjCacheRecord* CSubjCache::Lookup(const char* path, uint64_t writeTime)
{
    SubjCacheRecord key;
    Str_Copy(key.path, sizeof key.path, path);
    if (!key.path[0])
        return nullptr;
    int found = -1;
    for (size_t i = 0; i < m_records.size(); ++i)
        if (strcmp(m_records[i].path, key.path) == 0) {
            found = (int)i;
            break;
        }
    bool refresh = found < 0 || m_records[found].writeTime != writeTime;
    // Without memory for a new record or the summary reader the store has
    // no record: the caller shows it without counts.
    try {
        if (refresh && !m_subj)
            m_subj.reset(new CSubj);
        if (found < 0) {
            SubjCacheRecord blank = {};
            m_records.push_back(blank);
            found = (int)m_records.size() - 1;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    SubjCacheRecord& rec = m_records[found];
    if (refresh) {
        m_subj->LoadHeader(key.path);
        const SubjHeader& h = m_subj->Header();
        Str_Copy(rec.path, sizeof rec.path, key.path);
        rec.writeTime = writeTime;
        rec.reserved = h.total;
        rec.unread = h.unread;
        rec.unsent = h.unsent;
        rec.held = h.held;
        rec.patrol = h.patrol;
        Str_Copy(rec.title, sizeof rec.title, h.title);
    }
    rec.inUse = 1;
    m_current = found;
    return &rec;
}

const SubjCacheRecord* CSubjCache::Current() const
{
    return m_current >= 0 && m_current < (int)m_records.size() ? &m_records[m_current] : nullptr;
}

void CSubjCache::Forget(const char* path)
{
    char key[sizeof(SubjCacheRecord::path)];
    Str_Copy(key, sizeof key, path);
    if (!key[0])
        return;
    for (SubjCacheRecord& rec : m_records)
        if (strcmp(rec.path, key) == 0) {
            rec.path[0] = 0;
            // A record without a path has nothing to say in the file.
            rec.inUse = 0;
        }
}

int CSubjCache::Save()
{
    std::vector<unsigned char> out;
    bool made = true;
    try {
        for (const SubjCacheRecord& rec : m_records) {
            if (!rec.inUse)
                continue;
            size_t at = out.size();
            out.resize(at + kRecordSize);
            Encode(rec, out.data() + at);
        }
    } catch (const std::bad_alloc&) {
        made = false;   // the old file stays
    }
    int ok = made && m_path[0] && File_Replace(m_path, out.data(), out.size());
    m_records.clear();
    m_current = -1;
    return ok ? 1 : 0;
}
