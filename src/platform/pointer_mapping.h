#pragma once

// Window pixels to back-buffer pixels: back-buffer = (window - offset) / scale. The renderer
// sets it whenever the window's size or mode changes (the picture is letterboxed into it).
void SetPointerMapping(float scale, int offsetX, int offsetY);
