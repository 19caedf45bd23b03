// A temporary folder for the folder view's native tests, made and filled
// through the base layer.
#pragma once
#include "base/fileio.h"
#include "base/sjis.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>
#include <string>

namespace fvtest {

class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/zeva_fv_XXXXXX";
        const char* p = mkdtemp(tmpl);
        m_path = p ? p : "/tmp";
    }
    ~TempDir() { Remove(m_path); }
    const std::string& Path() const { return m_path; }
    std::string At(const std::string& rel) const { return m_path + "/" + rel; }
    // Writes a file, making its folders.
    bool Put(const std::string& rel, const std::string& bytes) const
    {
        size_t slash = rel.find_last_of('/');
        if (slash != std::string::npos)
            MakeFolder(rel.substr(0, slash));
        FILE* f = fopen(At(rel).c_str(), "wb");
        if (!f)
            return false;
        bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return fclose(f) == 0 && ok;
    }
    void MakeFolder(const std::string& rel) const
    {
        for (size_t i = 0; i <= rel.size(); ++i)
            if (i == rel.size() || rel[i] == '/')
                Dir_Create(At(rel.substr(0, i)).c_str());
    }
    std::string Read(const std::string& rel) const
    {
        std::vector<char> buf;
        return File_ReadAll(At(rel).c_str(), buf) ? std::string(buf.begin(), buf.end()) : std::string("<none>");
    }

private:
    static void Remove(const std::string& path)
    {
        std::vector<DirEntry> entries;
        if (Dir_List(path.c_str(), entries))
            for (const DirEntry& e : entries) {
                std::string p = path + "/" + e.name;
                if (e.isDir)
                    Remove(p);
                else
                    File_Delete(p.c_str());
            }
        rmdir(path.c_str());
    }
    std::string m_path;
};

}  // namespace fvtest
