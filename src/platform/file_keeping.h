#pragma once

#include <string>

// Where saved files must also be handed to a store of their own. On the desktop the disk keeps
// them and these do nothing. In a browser the files live in the page's memory, so each saved
// file is copied into the browser's storage (IndexedDB) once it is in place, and the page puts
// them all back before the game starts. Each call touches its own file only: another tab's
// files stay as that tab saved them.
void KeepSavedFile(const std::string& path);
void ForgetSavedFile(const std::string& path);
