#include <emscripten.h>

#include "platform/file_keeping.h"

// The page's storage code (web/storage.js) copies the file as it now stands into IndexedDB, or
// deletes it there; a refused or failed storage is told to the player once, and play goes on.
EM_JS(void, plemby_keep_file, (const char* path), { keepStoredFile(UTF8ToString(path)); });
EM_JS(void, plemby_forget_file, (const char* path), { forgetStoredFile(UTF8ToString(path)); });

void KeepSavedFile(const std::string& path) { plemby_keep_file(path.c_str()); }
void ForgetSavedFile(const std::string& path) { plemby_forget_file(path.c_str()); }
