#pragma once

// One file of resources/, built into the executable.
struct EmbeddedResource {
    const char* type;
    int id;
    const unsigned char* begin;
    const unsigned char* end;
};

extern const EmbeddedResource EMBEDDED_RESOURCES[];
extern const int EMBEDDED_RESOURCE_COUNT;
