#pragma once

// Windows only: the game holds text and paths as UTF-8; Windows takes them as UTF-16.
#include <windows.h>

#include <string>
#include <string_view>

inline std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            size);
    }
    return wide;
}

inline std::string Utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                            size, nullptr, nullptr);
    }
    return text;
}

inline constexpr const wchar_t* LONG_PATH_PREFIX = L"\\\\?\\";
inline constexpr const wchar_t* LONG_PATH_UNC_PREFIX = L"\\\\?\\UNC\\";

inline bool IsAbsoluteWidePath(std::wstring_view path) {
    return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
           path.starts_with(L"\\\\") || path.starts_with(L"//");
}

// A UTF-8 path as Windows takes it: backslashes, and an absolute path longer than the old
// limit of 260 marked so that Windows takes it whole.
inline std::wstring WidePath(std::string_view path) {
    std::wstring wide = WideFromUtf8(path);
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    if (wide.size() < MAX_PATH || wide.starts_with(LONG_PATH_PREFIX) || !IsAbsoluteWidePath(wide)) {
        return wide;
    }
    if (wide.starts_with(L"\\\\")) return LONG_PATH_UNC_PREFIX + wide.substr(2);
    return LONG_PATH_PREFIX + wide;
}
