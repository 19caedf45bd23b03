// Helpers of the plug-in host tests: a private folder (path ending with the
// separator) and whole-file helpers.
#pragma once
#include "base/fileio.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace phtest {

#ifdef _WIN32
const char kSep = '\\';
#else
const char kSep = '/';
#endif

class TempDir {
public:
    explicit TempDir(const char* tag = "ph")
    {
        static std::atomic<unsigned> serial{0};
        auto base = std::filesystem::temp_directory_path();
        auto tick = (unsigned long long)std::chrono::steady_clock::now().time_since_epoch().count();
        for (int i = 0; i < 1000; ++i) {
            auto p = base / ("zeva_" + std::string(tag) + "_" + std::to_string(tick % 1000000007ULL) + "_" +
                             std::to_string(++serial));
            std::error_code ec;
            if (std::filesystem::create_directory(p, ec)) {
                m_path = p.string() + kSep;
                return;
            }
        }
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    // The folder, ending with the separator.
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }
    std::string Sub(const std::string& name) const
    {
        std::string p = m_path + name;
        Dir_Create(p.c_str());
        return p + kSep;
    }

private:
    std::string m_path;
};

inline void WriteBytes(const std::string& path, const std::string& data)
{
    File_Replace(path.c_str(), data.data(), data.size());
}

inline std::string ReadBytes(const std::string& path)
{
    std::vector<char> buf;
    if (!File_ReadAll(path.c_str(), buf))
        return std::string();
    return std::string(buf.begin(), buf.end());
}

#ifdef _WIN32
// Build folders come as Unix paths; under Wine they live on drive Z:.
inline std::string WinPath(const char* path)
{
    std::string p = path;
    if (!p.empty() && p[0] == '/')
        p = "Z:" + p;
    for (char& c : p)
        if (c == '/')
            c = '\\';
    return p;
}
#endif

} // namespace phtest
