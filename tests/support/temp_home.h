#pragma once

#include <string>

// Every test runs with HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR, TMPDIR and (for
// Windows) APPDATA pointing into one temporary folder made when the test program starts and removed when it
// ends, so that no test reads or writes the real home. This is that folder.
const std::string& TestHomeDir();

// Empties the temporary config, data, runtime, temporary and application data folders.
void ClearTestHome();
