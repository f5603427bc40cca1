#include "platform/resources.h"

#include "platform/resource_table.h"

std::span<const std::uint8_t> FindResource(std::string_view type, int id) {
    for (int i = 0; i < EMBEDDED_RESOURCE_COUNT; ++i) {
        const EmbeddedResource& r = EMBEDDED_RESOURCES[i];
        if (r.id == id && type == r.type) {
            return {reinterpret_cast<const std::uint8_t*>(r.begin),
                    static_cast<std::size_t>(r.end - r.begin)};
        }
    }
    return {};
}
