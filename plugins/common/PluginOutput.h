// Where the converters put their ".zv$" files: real files in the board
// folder, or memory (for the tests and the fuzz targets).
#pragma once
#include <stddef.h>
#include <memory>
#include <string>
#include <vector>

class CAtomicFile;

class CZvSink {
public:
    virtual ~CZvSink() {}
    // Creates the named file anew (nothing of an old file survives once it
    // is closed). Returns an id for Write and Close, or -1.
    virtual int Create(const char* name) = 0;
    virtual int Write(int id, const char* data, size_t size) = 0;
    // Finishes the file; 0 if it could not be written.
    virtual int Close(int id) = 0;
};

// Files in a folder, each written to a temporary file and moved into place
// when closed.
class CZvFileSink : public CZvSink {
public:
    explicit CZvFileSink(const char* folder);
    ~CZvFileSink() override;
    int Create(const char* name) override;
    int Write(int id, const char* data, size_t size) override;
    int Close(int id) override;

private:
    std::string m_folder;
    std::vector<std::unique_ptr<CAtomicFile>> m_files;
};

class CZvMemorySink : public CZvSink {
public:
    struct File {
        std::string name, data;
        bool closed = false;
    };
    int Create(const char* name) override;
    int Write(int id, const char* data, size_t size) override;
    int Close(int id) override;

    const File* Find(const char* name) const;
    std::vector<File> files;
    std::string failName;   // Create of this name fails
};

// folder + separator + name.
std::string Plugin_JoinPath(const char* folder, const char* name);
