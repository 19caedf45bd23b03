// Stand-in for the user's text editor in the composer tests. The last
// argument is the file to edit; the options before it say what to do:
//   -a TEXT   append the line TEXT (CR LF) to the file
//   -t TITLE  replace the first line with TITLE
//   -w PATH   before ending, wait (at most 60 s) until PATH exists
// With no option the file is left alone, like an editor closed without
// saving. When ZV_TEST_EDITOR_LOG names a file, the command line is appended
// to it as one line, as the program received it.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static std::string ReadAll(const char* path)
{
    std::string s;
    FILE* f = fopen(path, "rb");
    if (!f)
        return s;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    fclose(f);
    return s;
}

static void WriteAll(const char* path, const std::string& s)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return;
    fwrite(s.data(), 1, s.size(), f);
    fclose(f);
}

int main(int argc, char** argv)
{
    char log[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ZV_TEST_EDITOR_LOG", log, sizeof log);
    if (n > 0 && n < sizeof log) {
        FILE* f = fopen(log, "ab");
        if (f) {
            fprintf(f, "%s\n", GetCommandLineA());
            fclose(f);
        }
    }
    if (argc < 2)
        return 2;
    const char* file = argv[argc - 1];
    const char* waitFor = nullptr;
    std::string text = ReadAll(file);
    bool changed = false;
    for (int i = 1; i < argc - 1; ++i) {
        if (!strcmp(argv[i], "-a") && i + 1 < argc - 1) {
            text += argv[++i];
            text += "\r\n";
            changed = true;
        } else if (!strcmp(argv[i], "-t") && i + 1 < argc - 1) {
            size_t end = text.find("\r\n");
            text = argv[++i] + (end == std::string::npos ? std::string("\r\n") : text.substr(end));
            changed = true;
        } else if (!strcmp(argv[i], "-w") && i + 1 < argc - 1) {
            waitFor = argv[++i];
        }
    }
    if (changed)
        WriteAll(file, text);
    if (waitFor) {
        for (int waited = 0; waited < 60000 && GetFileAttributesA(waitFor) == INVALID_FILE_ATTRIBUTES;
             waited += 50)
            Sleep(50);
    }
    return 0;
}
