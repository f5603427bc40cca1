#pragma once

#include <string>

// What the tests need of the system they run on: Linux, or Windows under wine.

// Sets a variable of this process's environment; a null value removes it.
void SetEnvironment(const char* name, const char* value);

// A new empty folder in the system's temporary folder, its name starting with prefix.
std::string MakeTemporaryFolder(const std::string& prefix);

// Whether the tests run on Windows: a test of something only Linux has skips there, saying why.
bool OnWindows();

// A file at path that exists but cannot be read: a named pipe on Linux (root reads files of
// any mode), a file held open without sharing on Windows, for as long as this lives.
class UnreadableFile {
public:
    explicit UnreadableFile(const std::string& path);
    ~UnreadableFile();
    UnreadableFile(const UnreadableFile&) = delete;
    UnreadableFile& operator=(const UnreadableFile&) = delete;

    bool Made() const { return made_; }
    // Still the thing that was made: nothing was stored in its place.
    bool Untouched() const;

private:
    std::string path_;
    void* handle_ = nullptr;
    bool made_ = false;
};

// The path of a program built beside the tests, as the system's shell takes it; on Windows the
// game's is its console twin's.
std::string BuiltProgram(const std::string& name);
// Runs a command line through the system's shell (sh, or cmd on Windows); its exit status, -1
// when it did not end by itself.
int RunCommand(const std::string& command);
// Where output goes to be thrown away, in the shell's own words.
const char* NullDevice();
