#include "plugins/common/PluginOutput.h"

#include "base/fileio.h"

std::string Plugin_JoinPath(const char* folder, const char* name)
{
#ifdef _WIN32
    const char sep = '\\';
#else
    const char sep = '/';
#endif
    std::string path = folder ? folder : "";
    if (!path.empty() && path.back() != sep && path.back() != '/')
        path += sep;
    return path + name;
}

CZvFileSink::CZvFileSink(const char* folder) : m_folder(folder ? folder : "") {}

CZvFileSink::~CZvFileSink() {}

int CZvFileSink::Create(const char* name)
{
    std::unique_ptr<CAtomicFile> f(new CAtomicFile);
    if (!f->Open(Plugin_JoinPath(m_folder.c_str(), name).c_str()))
        return -1;
    m_files.push_back(std::move(f));
    return (int)m_files.size() - 1;
}

int CZvFileSink::Write(int id, const char* data, size_t size)
{
    if (id < 0 || id >= (int)m_files.size() || !m_files[id])
        return 0;
    return size == 0 ? 1 : m_files[id]->Write(data, size);
}

int CZvFileSink::Close(int id)
{
    if (id < 0 || id >= (int)m_files.size() || !m_files[id])
        return 0;
    int ok = m_files[id]->Commit();
    m_files[id].reset();
    return ok;
}

int CZvMemorySink::Create(const char* name)
{
    if (!failName.empty() && failName == name)
        return -1;
    File f;
    f.name = name;
    files.push_back(f);
    return (int)files.size() - 1;
}

int CZvMemorySink::Write(int id, const char* data, size_t size)
{
    if (id < 0 || id >= (int)files.size() || files[id].closed)
        return 0;
    files[id].data.append(data, size);
    return 1;
}

int CZvMemorySink::Close(int id)
{
    if (id < 0 || id >= (int)files.size() || files[id].closed)
        return 0;
    files[id].closed = true;
    return 1;
}

const CZvMemorySink::File* CZvMemorySink::Find(const char* name) const
{
    for (const File& f : files)
        if (f.name == name)
            return &f;
    return nullptr;
}
