#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The only renderer code that touches SDL: a render-target texture is the back buffer; every draw goes into it and presentation scales it into the window, letterboxed.
struct Texture;

constexpr std::uint32_t MAGENTA_KEY = 0xFFFF00FF;
// Pictures larger than this are refused rather than turned into a huge texture.
constexpr int MAX_TEXTURE_SIDE = 4096;

// Opens a renderer on the game window without vsync and makes the back buffer of width x height
// (black). The renderer is the player's SDL_RENDER_DRIVER when set, else the GPU's, else SDL's
// own software renderer: never an OpenGL that the processor emulates when that one is at hand.
// False without a window or renderer.
bool OpenRenderer(int width, int height);
// Destroys every texture made here, the back buffer and the renderer.
void CloseRenderer();
bool RendererOpen();

// A texture decoded from PNG or JPEG bytes (kept, so it can be made again after a device
// reset). A nonzero width and height scale the picture to that size; zero keeps its own.
// With the magenta key every opaque magenta pixel becomes fully transparent. The Texture
// always exists; one that could not be made draws nothing.
Texture* CreateImageTexture(std::span<const std::uint8_t> encoded, int width, int height,
                            bool magentaKey);
// A render target of the given size, empty.
Texture* CreateTargetTexture(int width, int height);
int TextureWidth(const Texture* texture);
int TextureHeight(const Texture* texture);

void ClearBackBufferPixels(std::uint32_t argb);
// One sprite: the source rectangle (left, top, right, bottom; null for the whole texture)
// with its top-left corner at (x, y), unscaled, colour and alpha multiplied by `tint`, alpha
// blended.
void DrawTexture(Texture* texture, const int* sourceLtrb, float x, float y, std::uint32_t tint);
// The texture stretched over the whole back buffer: replacing it at opacity 255, else
// blended over it at that opacity.
void DrawTextureFullScreen(Texture* texture, std::uint8_t opacity);
void CopyBackBufferInto(Texture* target);
// Shows the back buffer letterboxed in the window and keeps the pointer mapping in step with
// the window's size.
//
// The draws above are recorded and carried out when the frame is presented (or its pixels
// read or copied). A frame whose draws equal those of the picture in the window, with nothing
// in between that could have spoilt that picture (the window exposed or resized, the renderer
// reset, a texture drawn into), is neither drawn nor presented: a still screen costs next to
// nothing.
void PresentBackBuffer();
// A paused game's picture: KeepShownPicture keeps the draws of the picture now in the window;
// DrawKeptPicture records them again as the start of a frame (what is drawn after goes over
// them), so that the picture can be presented again as it was after the window was exposed,
// restored or resized or the renderer's targets were reset. ShownPictureIntact is false from
// such an event until the next present.
void KeepShownPicture();
void DrawKeptPicture();
bool ShownPictureIntact();
// Whether unchanged frames are left out (on unless turned off, for comparisons).
void SetFrameSaving(bool on);
// How many frames reached the window since the renderer opened.
std::uint64_t FramesPresented();
// Recomputes the letterbox and the pointer mapping now (after a mode change).
void RefreshPresentation();

// The back buffer as 0xAARRGGBB, row by row; empty without a renderer.
std::vector<std::uint32_t> ReadBackBufferPixels();
