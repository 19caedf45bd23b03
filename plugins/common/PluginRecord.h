// The article record that the converters write into ".zv$" files.
#pragma once
#include <string>

struct PluginRecord {
    int number = -1;              // -1: unknown, written as "*"
    int parent = -1;              // -1: none, written as "*"
    const char* name = "";
    const char* date = "";
    const char* time = "";
    const char* title = "";
    const char* message = "";
    const char* postTemplate = "";    // "P:" line only when not empty
    const char* followTemplate = "";  // "F:" line only when not empty
};

// Appends "S:", "T:", "N:", optional "P:" and "F:", and "M:...\n.\n".
void Record_Append(std::string& out, const PluginRecord& r);
