// A private temporary folder for the key-table tests, removed afterwards.
#pragma once
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace keystest {

class TempDir {
public:
    TempDir()
    {
        static std::atomic<unsigned> serial{0};
        auto base = std::filesystem::temp_directory_path();
        auto tick = (unsigned long long)std::chrono::steady_clock::now().time_since_epoch().count();
        for (int i = 0; i < 1000 && m_path.empty(); ++i) {
            auto p = base / ("zeva_keys_" + std::to_string(tick) + "_" + std::to_string(++serial));
            std::error_code ec;
            if (std::filesystem::create_directory(p, ec))
                m_path = p.string();
        }
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    // The folder with a trailing separator, as the program builds paths.
    std::string Folder() const { return m_path + (char)std::filesystem::path::preferred_separator; }
    std::string File(const char* name) const { return Folder() + name; }

private:
    std::string m_path;
};

}
