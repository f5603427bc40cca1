#include "platform/sdl_renderer.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <memory>

#include "platform/pointer_mapping.h"
#include "platform/render_hooks.h"
#include "platform/sdl_window.h"

struct Texture {
    SDL_Texture* sdl = nullptr;
    int width = 0;
    int height = 0;
    bool target = false;
    bool magentaKey = false;
    int requestedWidth = 0;
    int requestedHeight = 0;
    std::vector<std::uint8_t> encoded;
};

namespace {

struct RenderState {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    int backWidth = 0;
    int backHeight = 0;
    Texture backBuffer;
    std::vector<std::unique_ptr<Texture>> textures;
    SDL_Rect letterbox{};
    int windowWidth = -1;
    int windowHeight = -1;
    int outputWidth = -1;
    int outputHeight = -1;
};
RenderState state;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Decodes the bytes into a 32-bit ARGB surface of the wanted size, magenta keyed if asked.
SurfacePtr DecodeImage(const Texture& t) {
    if (t.encoded.empty()) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(t.encoded.data(), static_cast<int>(t.encoded.size()));
    if (!rw) return nullptr;
    SurfacePtr decoded(IMG_Load_RW(rw, 1));
    if (!decoded || decoded->w <= 0 || decoded->h <= 0 || decoded->w > MAX_TEXTURE_SIDE ||
        decoded->h > MAX_TEXTURE_SIDE) {
        return nullptr;
    }
    SurfacePtr argb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!argb) return nullptr;
    const int w = t.requestedWidth > 0 ? t.requestedWidth : argb->w;
    const int h = t.requestedHeight > 0 ? t.requestedHeight : argb->h;
    if (w > MAX_TEXTURE_SIDE || h > MAX_TEXTURE_SIDE) return nullptr;
    if (w != argb->w || h != argb->h) {
        SurfacePtr scaled(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888));
        if (!scaled) return nullptr;
        SDL_SetSurfaceBlendMode(argb.get(), SDL_BLENDMODE_NONE);
        if (SDL_BlitScaled(argb.get(), nullptr, scaled.get(), nullptr) != 0) return nullptr;
        argb = std::move(scaled);
    }
    if (t.magentaKey) {
        // Transparent black rather than transparent magenta, so no pink ever bleeds in.
        for (int y = 0; y < argb->h; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(argb->pixels) +
                                                         y * argb->pitch);
            for (int x = 0; x < argb->w; ++x) {
                if (row[x] == MAGENTA_KEY) row[x] = 0;
            }
        }
    }
    return argb;
}

void MakeImage(Texture& t) {
    if (!state.renderer) return;
    SurfacePtr pixels = DecodeImage(t);
    if (!pixels) return;
    t.sdl = SDL_CreateTextureFromSurface(state.renderer, pixels.get());
    if (!t.sdl) return;
    t.width = pixels->w;
    t.height = pixels->h;
    SDL_SetTextureBlendMode(t.sdl, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(t.sdl, SDL_ScaleModeNearest);
}

void MakeTarget(Texture& t, SDL_ScaleMode scaleMode) {
    if (!state.renderer) return;
    t.sdl = SDL_CreateTexture(state.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                              t.width, t.height);
    if (!t.sdl) return;
    SDL_SetTextureScaleMode(t.sdl, scaleMode);
    SDL_SetRenderTarget(state.renderer, t.sdl);
    SDL_SetRenderDrawColor(state.renderer, 0, 0, 0, 0);
    SDL_RenderClear(state.renderer);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
}

void Destroy(Texture& t) {
    if (t.sdl) SDL_DestroyTexture(t.sdl);
    t.sdl = nullptr;
}

void MakeBackBuffer() {
    state.backBuffer.target = true;
    state.backBuffer.width = state.backWidth;
    state.backBuffer.height = state.backHeight;
    // Presentation may scale the back buffer to any window; smooth it there.
    MakeTarget(state.backBuffer, SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(state.backBuffer.sdl, SDL_BLENDMODE_NONE);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
    ClearBackBufferPixels(0xFF000000);
}

void SetDrawColour(std::uint32_t argb) {
    SDL_SetRenderDrawColor(state.renderer, static_cast<Uint8>(argb >> 16),
                           static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
                           static_cast<Uint8>(argb >> 24));
}

// The largest picture of the back buffer's aspect that fits into w x h, centred.
SDL_Rect FitInto(int w, int h) {
    const float scale = std::min(static_cast<float>(w) / state.backWidth,
                                 static_cast<float>(h) / state.backHeight);
    const int fitW = static_cast<int>(state.backWidth * scale + 0.5f);
    const int fitH = static_cast<int>(state.backHeight * scale + 0.5f);
    return {(w - fitW) / 2, (h - fitH) / 2, fitW, fitH};
}

void UpdateLetterbox(bool force) {
    if (!state.renderer || !state.window) return;
    int winW = 0, winH = 0, outW = 0, outH = 0;
    SDL_GetWindowSize(state.window, &winW, &winH);
    // While a render target is set SDL reports the target's size, not the window's.
    SDL_Texture* target = SDL_GetRenderTarget(state.renderer);
    if (target) SDL_SetRenderTarget(state.renderer, nullptr);
    if (SDL_GetRendererOutputSize(state.renderer, &outW, &outH) != 0) {
        outW = winW;
        outH = winH;
    }
    if (target) SDL_SetRenderTarget(state.renderer, target);
    if (!force && winW == state.windowWidth && winH == state.windowHeight &&
        outW == state.outputWidth && outH == state.outputHeight) {
        return;
    }
    state.windowWidth = winW;
    state.windowHeight = winH;
    state.outputWidth = outW;
    state.outputHeight = outH;
    state.letterbox = FitInto(outW, outH);
    if (winW <= 0 || winH <= 0) return;
    // The pointer arrives in window coordinates, which may differ from the output's pixels.
    const SDL_Rect inWindow = FitInto(winW, winH);
    SetPointerMapping(static_cast<float>(inWindow.w) / state.backWidth, inWindow.x, inWindow.y);
}

}  // namespace

bool OpenRenderer(SDL_Window* window, int width, int height) {
    CloseRenderer();
    if (!window || width <= 0 || height <= 0 || width > MAX_TEXTURE_SIDE ||
        height > MAX_TEXTURE_SIDE) {
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    SDL_Renderer* renderer =
        SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (!renderer) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    }
    if (!renderer) return false;
    state.window = window;
    state.renderer = renderer;
    state.backWidth = width;
    state.backHeight = height;
    MakeBackBuffer();
    if (!state.backBuffer.sdl) {
        CloseRenderer();
        return false;
    }
    UpdateLetterbox(true);
    return true;
}

bool OpenRenderer(int width, int height) { return OpenRenderer(GameSdlWindow(), width, height); }

void CloseRenderer() {
    for (auto& t : state.textures) Destroy(*t);
    Destroy(state.backBuffer);
    if (state.renderer) SDL_DestroyRenderer(state.renderer);
    state = RenderState{};
}

bool RendererOpen() { return state.renderer != nullptr; }

Texture* CreateImageTexture(std::span<const std::uint8_t> encoded, int width, int height,
                            bool magentaKey) {
    auto t = std::make_unique<Texture>();
    t->encoded.assign(encoded.begin(), encoded.end());
    t->requestedWidth = std::max(width, 0);
    t->requestedHeight = std::max(height, 0);
    t->magentaKey = magentaKey;
    MakeImage(*t);
    state.textures.push_back(std::move(t));
    return state.textures.back().get();
}

Texture* CreateTargetTexture(int width, int height) {
    auto t = std::make_unique<Texture>();
    t->target = true;
    t->width = std::clamp(width, 1, MAX_TEXTURE_SIDE);
    t->height = std::clamp(height, 1, MAX_TEXTURE_SIDE);
    MakeTarget(*t, SDL_ScaleModeNearest);
    state.textures.push_back(std::move(t));
    return state.textures.back().get();
}

int TextureWidth(const Texture* texture) { return texture && texture->sdl ? texture->width : 0; }
int TextureHeight(const Texture* texture) { return texture && texture->sdl ? texture->height : 0; }

void ClearBackBufferPixels(std::uint32_t argb) {
    if (!state.renderer) return;
    SetDrawColour(argb);
    SDL_RenderClear(state.renderer);
}

void DrawTexture(Texture* texture, const int* sourceLtrb, float x, float y, std::uint32_t tint) {
    if (!state.renderer || !texture || !texture->sdl) return;
    SDL_Rect source{0, 0, texture->width, texture->height};
    if (sourceLtrb) {
        source = {sourceLtrb[0], sourceLtrb[1], sourceLtrb[2] - sourceLtrb[0],
                  sourceLtrb[3] - sourceLtrb[1]};
        if (source.w <= 0 || source.h <= 0) return;
    }
    const SDL_FRect dest{x, y, static_cast<float>(source.w), static_cast<float>(source.h)};
    SDL_SetTextureColorMod(texture->sdl, static_cast<Uint8>(tint >> 16),
                           static_cast<Uint8>(tint >> 8), static_cast<Uint8>(tint));
    SDL_SetTextureAlphaMod(texture->sdl, static_cast<Uint8>(tint >> 24));
    SDL_SetTextureBlendMode(texture->sdl, SDL_BLENDMODE_BLEND);
    SDL_RenderCopyF(state.renderer, texture->sdl, &source, &dest);
}

void DrawTextureFullScreen(Texture* texture, std::uint8_t opacity) {
    if (!state.renderer || !texture || !texture->sdl) return;
    SDL_SetTextureColorMod(texture->sdl, 255, 255, 255);
    SDL_SetTextureAlphaMod(texture->sdl, opacity);
    SDL_SetTextureBlendMode(texture->sdl, opacity == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    SDL_RenderCopy(state.renderer, texture->sdl, nullptr, nullptr);
}

void CopyBackBufferInto(Texture* target) {
    if (!state.renderer || !target || !target->target || !target->sdl) return;
    SDL_SetRenderTarget(state.renderer, target->sdl);
    SDL_RenderCopy(state.renderer, state.backBuffer.sdl, nullptr, nullptr);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
}

void PresentBackBuffer() {
    if (!state.renderer) return;
    SDL_SetRenderTarget(state.renderer, nullptr);
    UpdateLetterbox(false);
    SDL_SetRenderDrawColor(state.renderer, 0, 0, 0, 255);
    SDL_RenderClear(state.renderer);
    SDL_RenderCopy(state.renderer, state.backBuffer.sdl, nullptr, &state.letterbox);
    SDL_RenderPresent(state.renderer);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
}

void RefreshPresentation() { UpdateLetterbox(true); }

void OnRenderReset(bool deviceReset) {
    if (!state.renderer) return;
    SDL_SetRenderTarget(state.renderer, nullptr);
    Destroy(state.backBuffer);
    MakeBackBuffer();
    for (auto& t : state.textures) {
        if (t->target) {
            Destroy(*t);
            MakeTarget(*t, SDL_ScaleModeNearest);
        } else if (deviceReset) {
            Destroy(*t);
            MakeImage(*t);
        }
    }
    UpdateLetterbox(true);
}

std::vector<std::uint32_t> ReadBackBufferPixels() {
    if (!state.renderer || !state.backBuffer.sdl) return {};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(state.backWidth) * state.backHeight);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
    if (SDL_RenderReadPixels(state.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                             state.backWidth * 4) != 0) {
        return {};
    }
    return pixels;
}
