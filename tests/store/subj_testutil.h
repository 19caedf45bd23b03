// Helpers shared by the article store tests: a private temporary folder,
// whole-file read and write, and parsing of ZVT text held in a string.
#pragma once
#include "base/fileio.h"
#include "store/Subj.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <string.h>
#include <system_error>
#include <vector>

namespace subjtest {

class TempDir {
public:
    TempDir()
    {
        static std::atomic<unsigned> serial{0};
        auto base = std::filesystem::temp_directory_path();
        auto tick = (unsigned long long)std::chrono::steady_clock::now().time_since_epoch().count();
        for (int i = 0; i < 1000; ++i) {
            auto p = base / ("zeva_store_" + std::to_string(tick) + "_" + std::to_string(++serial));
            std::error_code ec;
            if (std::filesystem::create_directory(p, ec)) {
                m_path = p.string();
                return;
            }
        }
    }
    ~TempDir()
    {
        std::error_code ec;
        // Undo read-only marks a test may have left so the folder can go.
        for (auto& e : std::filesystem::recursive_directory_iterator(m_path, ec))
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const
    {
        return (std::filesystem::path(m_path) / name).string();
    }

private:
    std::string m_path;
};

inline std::string ReadBytes(const std::string& path)
{
    std::vector<char> buf;
    if (!File_ReadAll(path.c_str(), buf))
        return std::string();
    return std::string(buf.begin(), buf.end());
}

inline bool WriteBytes(const std::string& path, const std::string& bytes)
{
    return File_Replace(path.c_str(), bytes.data(), bytes.size()) == 1;
}

// Parses ZVT text into s the way a load does (one zero byte either side).
inline void Parse(CSubj& s, const std::string& text)
{
    std::vector<char> buf(text.size() + 2, 0);
    if (!text.empty())
        memcpy(buf.data() + 1, text.data(), text.size());
    s.ParseBuffer(buf.data(), text.size());
}

inline std::string Written(CSubj& s)
{
    std::string out;
    s.Serialize(out);
    return out;
}

// Parse, then write: the bytes the writer gives for the text.
inline std::string RoundTrip(const std::string& text)
{
    CSubj s;
    Parse(s, text);
    return Written(s);
}

// Appends a record built from plain values to s.
struct Article {
    int32_t no = SUBJ_NO_UNKNOWN;
    int32_t pno = SUBJ_NO_UNKNOWN;
    uint16_t date = 0, time = 0;
    uint32_t color = SUBJ_NO_COLOR;
    uint8_t atr = 0;
    const char* title = "";
    const char* name = "";
    const char* msg = "";
    const char* id = nullptr;   // identifier number instead of no
};

inline int Add(CSubj& s, const Article& a)
{
    SubjItem it;
    CSubj::InitItem(&it);
    it.no = a.id ? s.MakeIdNo(a.id) : a.no;
    it.pno = a.pno;
    it.date = a.date;
    it.time = a.time;
    it.color = a.color;
    it.atr = a.atr;
    it.title = s.Atoms(CSubj::A_TITLE).Add(a.title);
    it.name = s.Atoms(CSubj::A_NAME).Add(a.name);
    it.msg = CSubj::AllocText(a.msg);
    return s.Append(it);
}

inline uint16_t Date(int y, int m, int d)
{
    return (uint16_t)((y - 1970) * 512 + m * 32 + d);
}

}  // namespace subjtest
