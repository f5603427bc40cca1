#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "platform/wide_text.h"
#include "support/portable.h"

// Given as UTF-16, so that a value with any letters reaches the program whole. An empty value
// removes the variable.
void SetEnvironment(const char* name, const char* value) {
    _wputenv_s(WideFromUtf8(name).c_str(), WideFromUtf8(value == nullptr ? "" : value).c_str());
}

bool OnWindows() { return true; }

UnreadableFile::UnreadableFile(const std::string& path) : path_(path) {
    const HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    made_ = file != INVALID_HANDLE_VALUE;
    if (made_) handle_ = file;
}

UnreadableFile::~UnreadableFile() {
    if (made_) CloseHandle(static_cast<HANDLE>(handle_));
}

bool UnreadableFile::Untouched() const {
    std::error_code error;
    return std::filesystem::is_regular_file(path_, error) &&
           std::filesystem::file_size(path_, error) == 0;
}

// A path from the root of the current drive: wine maps the Linux folders onto drive Z:, where
// the tests run from. The game's console twin (plemby.com) is the one that prints.
std::string BuiltProgram(const std::string& name) {
    const std::string file = name == "plemby" ? "plemby.com" : name + ".exe";
    return std::filesystem::path(std::string(PLEMBY_BINARY_DIR) + "/" + file)
        .make_preferred()
        .string();
}

// cmd reads a whole line given with /c and quotes of its own only at the ends: the outer
// quotes keep the inner ones.
// -1 says that cmd itself could not be started, which wine on a busy machine now and then
// reports; the command is then tried again.
int RunCommand(const std::string& command) {
    constexpr int TRIES = 5;
    int status = -1;
    for (int attempt = 0; attempt < TRIES && status == -1; ++attempt) {
        status = std::system(("\"" + command + "\"").c_str());
    }
    return status;
}

const char* NullDevice() { return "NUL"; }
