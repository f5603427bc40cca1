#include "platform/file_keeping.h"

void KeepSavedFile(const std::string&) {}
void ForgetSavedFile(const std::string&) {}
