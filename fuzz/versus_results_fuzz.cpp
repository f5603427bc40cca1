// Stored versus results: any bytes are either refused or give results that write out to the
// same bytes.
#include <algorithm>
#include <cstdlib>

#include "common/versus_results.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto results = ParseVersusResults({data, size});
    if (!results) return 0;
    const std::vector<std::uint8_t> bytes = FormatVersusResults(*results);
    if (bytes.size() != size || !std::equal(bytes.begin(), bytes.end(), data)) std::abort();
    return 0;
}
