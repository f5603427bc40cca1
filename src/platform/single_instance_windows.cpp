#include <windows.h>

#include <string>

#include "platform/files.h"
#include "platform/single_instance.h"

namespace {

constexpr const wchar_t* WINDOW_CLASS = L"Plemby!";
// Within the signed-in user's session; the user's name keeps two users apart on one session's
// machine, such as under "run as".
constexpr const wchar_t* MUTEX_PREFIX = L"Local\\Plemby!-";
// The first copy may hold the mutex but not have its window yet: a second copy started at the
// same moment looks for the window this long.
constexpr DWORD FIND_WINDOW_MS = 5000;
constexpr DWORD FIND_WINDOW_STEP_MS = 50;

struct InstanceState {
    bool claimed = false;
    HANDLE mutex = nullptr;
};
InstanceState instance;

std::wstring MutexName() {
    wchar_t user[256 + 1] = L"";
    DWORD size = sizeof user / sizeof user[0];
    if (GetUserNameW(user, &size) == 0) user[0] = L'\0';
    std::wstring name = MUTEX_PREFIX;
    // A backslash would name a namespace.
    for (const wchar_t* c = user; *c != L'\0'; ++c) name += *c == L'\\' ? L'_' : *c;
    return name;
}

}  // namespace

bool ClaimSingleInstance() {
    if (instance.claimed) return true;
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName().c_str());
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    if (mutex == nullptr) {
        // Another object of that name (or no right to make one): better to run than to refuse.
        ReportProblem("cannot make the lock that keeps a second copy from running; running "
                      "without it");
    }
    instance.mutex = mutex;
    instance.claimed = true;
    return true;
}

// The window itself is found by its class: nothing to listen on.
void ListenForRaiseRequests() {}

void ReleaseSingleInstance() {
    if (instance.mutex != nullptr) CloseHandle(instance.mutex);
    instance = InstanceState{};
}

void AskRunningCopyToRaise() {
    HWND window = nullptr;
    for (DWORD waited = 0; window == nullptr && waited < FIND_WINDOW_MS;
         waited += FIND_WINDOW_STEP_MS) {
        window = FindWindowW(WINDOW_CLASS, nullptr);
        if (window == nullptr) Sleep(FIND_WINDOW_STEP_MS);
    }
    if (window == nullptr) return;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    // The copy the player just started may hand the foreground on.
    SetForegroundWindow(window);
}

bool TakeRaiseRequest() { return false; }
