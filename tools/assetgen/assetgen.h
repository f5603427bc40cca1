#pragma once

#include <string>

// Each writes its files under dir/<TYPE>/<ID>.<ext>; false when a file could not be written.
bool GenerateImages(const std::string& dir);  // RCDATA 115..132, ICON 104
bool GenerateSounds(const std::string& dir);  // WAVE 112..114, 133..135
bool GenerateSongs(const std::string& dir);   // RCDATA 109..111
// The window icon's artwork at the desktop's sizes, as dir/icons/hicolor/<N>x<N>/apps/<id>.png.
bool GenerateDesktopIcons(const std::string& dir);
// The installable page's icons, dir/web/icon-192.png and icon-512.png.
bool GenerateWebIcons(const std::string& dir);

#include <cstdint>
#include <vector>

// Writes dir/<type>/<id>.<extension>, making the folder; false when it could not be written.
bool WriteResourceFile(const std::string& dir, const std::string& type, int id,
                       const std::string& extension, const std::vector<std::uint8_t>& bytes);
