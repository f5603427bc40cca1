// Stored controls files: any bytes give controls that write out to a file read back the same,
// with no line refused and the unknown lines kept.
#include <cstdlib>

#include "common/bindings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > MAX_BINDINGS_FILE_BYTES) return 0;
    const BindingsFile read = ParseBindingsFile({data, size});
    const std::string text = FormatBindingsFile(read.bindings, read.unknownLines);
    const BindingsFile again =
        ParseBindingsFile({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    if (!(again.bindings == read.bindings) || again.unknownLines != read.unknownLines ||
        again.badLines != 0 || (read.badLines == 0) != (read.firstBadLine == 0)) {
        std::abort();
    }
    return 0;
}
