// CSubjCache: the store summary cache "ZvtCache.tmp" in the data folder, so
// that the folder view shows each store's title and counts without opening
// it. The file is a plain array of 552-byte little-endian records; only the
// records looked up during a run are written back at its end.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <vector>

class CSubj;

struct SubjCacheRecord {
    uint8_t inUse;       // looked up during this run
    char path[263];      // store file, zero-terminated
    uint64_t writeTime;  // store's last-write time (FILETIME) when made
    int32_t reserved;    // the summary read's total (0)
    int32_t unread;      // "#N:"
    int32_t unsent;      // "#U:"
    int32_t held;        // "#B:"
    int32_t patrol;      // "#R:"
    char title[260];     // "#T:"
};

class CSubjCache {
public:
    enum { kRecordSize = 552 };

    CSubjCache();
    ~CSubjCache();
    CSubjCache(const CSubjCache&) = delete;
    CSubjCache& operator=(const CSubjCache&) = delete;

    // Reads "ZvtCache.tmp" from folder; 0 when there is none (empty cache).
    int Load(const char* folder);
    // The record of the store at path, refreshed through a summary read when
    // it is new or writeTime differs from the stored time; it is marked in
    // use and becomes the current record. nullptr for an empty path, or
    // when there is no memory for a new record.
    const SubjCacheRecord* Lookup(const char* path, uint64_t writeTime);
    const SubjCacheRecord* Current() const;
    // Empties the path of the store's record so that it is never found again.
    void Forget(const char* path);
    // Rewrites the file with the records in use, then frees all records.
    // Returns 0 when the file can't be written (or made: no memory), which
    // then stays as it was.
    int Save();

    int Count() const { return (int)m_records.size(); }
    const SubjCacheRecord& Record(int i) const { return m_records[i]; }
    const char* GetPath() const { return m_path; }

    static void Encode(const SubjCacheRecord& rec, unsigned char out[kRecordSize]);
    static void Decode(const unsigned char in[kRecordSize], SubjCacheRecord* rec);

private:
    std::vector<SubjCacheRecord> m_records;
    char m_path[260];
    int m_current;
    std::unique_ptr<CSubj> m_subj;   // for summary reads only
};
