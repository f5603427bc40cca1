#include "assetgen.h"

// Placeholder until this generator is written.
bool GenerateSounds(const std::string&) { return true; }
