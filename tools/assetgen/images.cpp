#include "assetgen.h"

// Placeholder until this generator is written.
bool GenerateImages(const std::string&) { return true; }
