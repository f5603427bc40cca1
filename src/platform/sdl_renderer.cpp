#include "platform/sdl_renderer.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <memory>

#include "platform/freed_memory.h"
#include "platform/pointer_mapping.h"
#include "platform/render_hooks.h"
#include "platform/renderer_choice.h"
#include "platform/sdl_window.h"

// Columns first to end (exclusive) of a row.
struct OpaqueRun {
    std::uint16_t first = 0;
    std::uint16_t end = 0;
};

struct Texture {
    SDL_Texture* sdl = nullptr;
    // Changes whenever the pixels may have changed (made again, drawn into), so that a frame
    // that draws it is never taken for the frame before.
    std::uint64_t contents = 0;
    int width = 0;
    int height = 0;
    bool target = false;
    bool magentaKey = false;
    int requestedWidth = 0;
    int requestedHeight = 0;
    std::vector<std::uint8_t> encoded;
    // The fully opaque runs of pixels, row by row: row y's are opaqueRuns[opaqueRowStart[y]] up
    // to opaqueRuns[opaqueRowStart[y + 1]], left to right (both empty when every pixel is
    // opaque). A sprite cut from an opaque part is copied, not blended, which costs far less.
    std::vector<OpaqueRun> opaqueRuns;
    std::vector<std::uint32_t> opaqueRowStart;
};

namespace {

// The tint that leaves a picture's colours and opacity as they are.
constexpr std::uint32_t UNTINTED = 0xFFFFFFFF;

// One drawing operation of a frame, kept until the frame is presented: a frame whose calls
// equal those of the picture on screen need not be drawn at all.
struct DrawCall {
    enum class Kind : std::uint8_t { Clear, Copy };
    Kind kind = Kind::Clear;
    bool wholeSource = true;
    bool wholeDestination = true;
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    std::uint32_t colour = 0;  // the clear colour, or the copy's ARGB tint
    Texture* texture = nullptr;
    std::uint64_t contents = 0;
    int sourceX = 0, sourceY = 0, sourceW = 0, sourceH = 0;
    float x = 0, y = 0, w = 0, h = 0;

    bool operator==(const DrawCall&) const = default;
};

struct FrameRecord {
    std::vector<DrawCall> pending;  // this frame's calls
    std::size_t executed = 0;       // how many of them have reached the back buffer
    std::vector<DrawCall> shown;    // the calls that made the picture in the window
    std::vector<DrawCall> kept;     // a picture kept aside to be drawn again (a paused game's)
    // False when the window may no longer show `shown`: exposed, resized, reset, first frame.
    bool shownIntact = false;
    bool saving = true;
    std::uint64_t presents = 0;
};

struct RenderState {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    bool softwareRenderer = false;  // SDL's own: opaque pictures are kept without alpha for it
    int backWidth = 0;
    int backHeight = 0;
    Texture backBuffer;
    std::vector<std::unique_ptr<Texture>> textures;
    SDL_Rect letterbox{};
    int windowWidth = -1;
    int windowHeight = -1;
    int outputWidth = -1;
    int outputHeight = -1;
    FrameRecord frame;
    std::uint64_t contentsCounter = 0;  // never goes back, so no two contents share a number
};
RenderState state;

void NewContents(Texture& t) { t.contents = ++state.contentsCounter; }

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

bool Opaque(const SDL_Surface& argb) {
    for (int y = 0; y < argb.h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(argb.pixels) + y * argb.pitch);
        for (int x = 0; x < argb.w; ++x) {
            if ((row[x] >> 24) != 0xFF) return false;
        }
    }
    return true;
}

// Decodes the bytes into a 32-bit surface of the wanted size, magenta keyed if asked: ARGB, or
// XRGB when every pixel is opaque.
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
    if (!Opaque(*argb) || !state.softwareRenderer) return argb;
    // Without an alpha channel SDL's software blits take their fast paths: a plain copy, and
    // one multiply per pixel when the picture is faded over another or tinted translucent.
    // (A GPU renderer keeps the alpha: OpenGL ES takes the unused byte of such a picture for
    // its alpha when it draws into the back buffer, and a translucent tint would show nothing.)
    SurfacePtr rgb(SDL_ConvertSurfaceFormat(argb.get(), SDL_PIXELFORMAT_XRGB8888, 0));
    return rgb ? std::move(rgb) : std::move(argb);
}

void FindOpaqueRuns(Texture& t, const SDL_Surface& pixels) {
    t.opaqueRuns.clear();
    t.opaqueRowStart.clear();
    if (pixels.format->Amask == 0) return;
    t.opaqueRowStart.reserve(static_cast<std::size_t>(pixels.h) + 1);
    for (int y = 0; y < pixels.h; ++y) {
        t.opaqueRowStart.push_back(static_cast<std::uint32_t>(t.opaqueRuns.size()));
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(pixels.pixels) + y * pixels.pitch);
        for (int x = 0; x < pixels.w;) {
            if ((row[x] >> 24) != 0xFF) {
                ++x;
                continue;
            }
            const int first = x;
            while (x < pixels.w && (row[x] >> 24) == 0xFF) ++x;
            t.opaqueRuns.push_back(
                {static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(x)});
        }
    }
    t.opaqueRowStart.push_back(static_cast<std::uint32_t>(t.opaqueRuns.size()));
}

// True when every pixel of the rectangle (inside the texture) is fully opaque: on each of its
// rows, one opaque run covers it.
bool OpaqueRegion(const Texture& t, const SDL_Rect& r) {
    if (r.x < 0 || r.y < 0 || r.x + r.w > t.width || r.y + r.h > t.height) return false;
    if (t.opaqueRowStart.empty()) return true;
    for (int y = r.y; y < r.y + r.h; ++y) {
        const auto first = t.opaqueRuns.begin() + t.opaqueRowStart[static_cast<std::size_t>(y)];
        const auto last = t.opaqueRuns.begin() + t.opaqueRowStart[static_cast<std::size_t>(y) + 1];
        // The run that begins last at or before the rectangle's left edge.
        const auto after = std::upper_bound(
            first, last, r.x, [](int x, const OpaqueRun& run) { return x < run.first; });
        if (after == first || (after - 1)->end < r.x + r.w) return false;
    }
    return true;
}

void MakeImage(Texture& t) {
    if (!state.renderer) return;
    SurfacePtr pixels = DecodeImage(t);
    if (!pixels) return;
    FindOpaqueRuns(t, *pixels);
    t.sdl = SDL_CreateTextureFromSurface(state.renderer, pixels.get());
    NewContents(t);
    if (!t.sdl) return;
    t.width = pixels->w;
    t.height = pixels->h;
    SDL_SetTextureBlendMode(t.sdl, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(t.sdl, SDL_ScaleModeNearest);
}

void MakeTarget(Texture& t, SDL_ScaleMode scaleMode, Uint32 format = SDL_PIXELFORMAT_ARGB8888) {
    if (!state.renderer) return;
    t.sdl = SDL_CreateTexture(state.renderer, format, SDL_TEXTUREACCESS_TARGET, t.width, t.height);
    NewContents(t);
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
    // Presentation may scale the back buffer to any window; smooth it there. Nothing looks at
    // its alpha, and without one the window's usual format takes it as a plain copy.
    MakeTarget(state.backBuffer, SDL_ScaleModeLinear, SDL_PIXELFORMAT_XRGB8888);
    if (!state.backBuffer.sdl) MakeTarget(state.backBuffer, SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(state.backBuffer.sdl, SDL_BLENDMODE_NONE);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
    SDL_SetRenderDrawColor(state.renderer, 0, 0, 0, 255);
    SDL_RenderClear(state.renderer);
    // Whatever the frame drew so far went with the old back buffer, as did the window's picture.
    state.frame.pending.clear();
    state.frame.executed = 0;
    state.frame.shownIntact = false;
}

void SetDrawColour(std::uint32_t argb) {
    SDL_SetRenderDrawColor(state.renderer, static_cast<Uint8>(argb >> 16),
                           static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
                           static_cast<Uint8>(argb >> 24));
}

// The largest picture of the back buffer's aspect that fits into w x h, centred.
SDL_Rect FitInto(int w, int h) {
    const float scale =
        std::min(static_cast<float>(w) / state.backWidth, static_cast<float>(h) / state.backHeight);
    const int fitW = static_cast<int>(state.backWidth * scale + 0.5f);
    const int fitH = static_cast<int>(state.backHeight * scale + 0.5f);
    return {(w - fitW) / 2, (h - fitH) / 2, fitW, fitH};
}

// Returns whether the window's size or the output's changed (or `force`).
bool UpdateLetterbox(bool force) {
    if (!state.renderer || !state.window) return false;
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
        return false;
    }
    state.windowWidth = winW;
    state.windowHeight = winH;
    state.outputWidth = outW;
    state.outputHeight = outH;
    state.letterbox = FitInto(outW, outH);
    state.frame.shownIntact = false;
    if (winW <= 0 || winH <= 0) return true;
    // The pointer arrives in window coordinates, which may differ from the output's pixels.
    const SDL_Rect inWindow = FitInto(winW, winH);
    SetPointerMapping(static_cast<float>(inWindow.w) / state.backWidth, inWindow.x, inWindow.y);
    return true;
}

void Execute(const DrawCall& call) {
    if (call.kind == DrawCall::Kind::Clear) {
        SetDrawColour(call.colour);
        SDL_RenderClear(state.renderer);
        return;
    }
    SDL_Texture* sdl = call.texture->sdl;
    if (!sdl) return;
    SDL_SetTextureColorMod(sdl, static_cast<Uint8>(call.colour >> 16),
                           static_cast<Uint8>(call.colour >> 8), static_cast<Uint8>(call.colour));
    SDL_SetTextureAlphaMod(sdl, static_cast<Uint8>(call.colour >> 24));
    SDL_SetTextureBlendMode(sdl, call.blend);
    if (call.wholeSource && call.wholeDestination) {
        SDL_RenderCopy(state.renderer, sdl, nullptr, nullptr);
        return;
    }
    const SDL_Rect source{call.sourceX, call.sourceY, call.sourceW, call.sourceH};
    const SDL_FRect destination{call.x, call.y, call.w, call.h};
    SDL_RenderCopyF(state.renderer, sdl, call.wholeSource ? nullptr : &source,
                    call.wholeDestination ? nullptr : &destination);
}

bool CoversBackBuffer(const DrawCall& call) {
    return call.kind == DrawCall::Kind::Clear ||
           (call.blend == SDL_BLENDMODE_NONE && call.wholeDestination &&
            call.texture->sdl != nullptr);
}

// Brings the back buffer up to date with the calls recorded so far. What a later call covers
// whole is not drawn at all (the clear that starts a frame under its background picture).
void Flush() {
    FrameRecord& f = state.frame;
    for (std::size_t i = f.pending.size(); i > f.executed; --i) {
        if (CoversBackBuffer(f.pending[i - 1])) {
            f.executed = i - 1;
            break;
        }
    }
    for (; f.executed < f.pending.size(); ++f.executed) Execute(f.pending[f.executed]);
}

void Record(const DrawCall& call) { state.frame.pending.push_back(call); }

// Only a frame that begins by covering every pixel of the back buffer draws the same picture
// whatever the back buffer held before.
bool CoversBackBufferFirst(const std::vector<DrawCall>& calls) {
    return !calls.empty() && CoversBackBuffer(calls.front());
}

// True when presenting the recorded frame would show exactly the picture already shown.
bool FrameUnchanged() {
    const FrameRecord& f = state.frame;
    return f.saving && f.shownIntact && f.executed == 0 && f.pending == f.shown &&
           CoversBackBufferFirst(f.pending);
}

}  // namespace

bool OpenRenderer(SDL_Window* window, int width, int height) {
    CloseRenderer();
    if (!window || width <= 0 || height <= 0 || width > MAX_TEXTURE_SIDE ||
        height > MAX_TEXTURE_SIDE) {
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    SDL_Renderer* renderer = CreateCheapestRenderer(window);
    if (!renderer) return false;
    state.window = window;
    state.renderer = renderer;
    SDL_RendererInfo info{};
    state.softwareRenderer =
        SDL_GetRendererInfo(renderer, &info) == 0 && SDL_strcmp(info.name, "software") == 0;
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
    const bool saving = state.frame.saving;
    const std::uint64_t contentsCounter = state.contentsCounter;
    state = RenderState{};
    state.frame.saving = saving;
    state.contentsCounter = contentsCounter;
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
    // Decoding a picture takes scratch surfaces as large as the picture itself. Given back to
    // the system at once, they leave no holes of megabytes between the pictures that stay.
    ReturnFreedMemory();
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
    DrawCall call;
    call.kind = DrawCall::Kind::Clear;
    call.colour = argb;
    Record(call);
}

void DrawTexture(Texture* texture, const int* sourceLtrb, float x, float y, std::uint32_t tint) {
    if (!state.renderer || !texture || !texture->sdl) return;
    SDL_Rect source{0, 0, texture->width, texture->height};
    if (sourceLtrb) {
        source = {sourceLtrb[0], sourceLtrb[1], sourceLtrb[2] - sourceLtrb[0],
                  sourceLtrb[3] - sourceLtrb[1]};
        if (source.w <= 0 || source.h <= 0) return;
    }
    DrawCall call;
    call.kind = DrawCall::Kind::Copy;
    call.wholeSource = false;
    call.wholeDestination = false;
    // Blending an opaque, untinted picture gives exactly its own pixels.
    const bool opaque = tint == UNTINTED && !texture->target && OpaqueRegion(*texture, source);
    call.blend = opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND;
    call.colour = tint;
    call.texture = texture;
    call.contents = texture->contents;
    call.sourceX = source.x;
    call.sourceY = source.y;
    call.sourceW = source.w;
    call.sourceH = source.h;
    call.x = x;
    call.y = y;
    call.w = static_cast<float>(source.w);
    call.h = static_cast<float>(source.h);
    Record(call);
}

void DrawTextureFullScreen(Texture* texture, std::uint8_t opacity) {
    if (!state.renderer || !texture || !texture->sdl) return;
    DrawCall call;
    call.kind = DrawCall::Kind::Copy;
    call.blend = opacity == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND;
    call.colour = 0x00FFFFFFu | (static_cast<std::uint32_t>(opacity) << 24);
    call.texture = texture;
    call.contents = texture->contents;
    Record(call);
}

void CopyBackBufferInto(Texture* target) {
    if (!state.renderer || !target || !target->target || !target->sdl) return;
    // The copy takes the picture as drawn so far.
    Flush();
    NewContents(*target);
    SDL_SetRenderTarget(state.renderer, target->sdl);
    SDL_RenderCopy(state.renderer, state.backBuffer.sdl, nullptr, nullptr);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
}

void PresentBackBuffer() {
    if (!state.renderer) return;
    FrameRecord& f = state.frame;
    UpdateLetterbox(false);
    if (FrameUnchanged()) {
        f.pending.clear();
        return;
    }
    Flush();
    SDL_SetRenderTarget(state.renderer, nullptr);
    // The bars beside the picture, where there are any.
    if (state.letterbox.w != state.outputWidth || state.letterbox.h != state.outputHeight) {
        SDL_SetRenderDrawColor(state.renderer, 0, 0, 0, 255);
        SDL_RenderClear(state.renderer);
    }
    SDL_RenderCopy(state.renderer, state.backBuffer.sdl, nullptr, &state.letterbox);
    SDL_RenderPresent(state.renderer);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
    ++f.presents;
    std::swap(f.shown, f.pending);
    f.pending.clear();
    f.executed = 0;
    f.shownIntact = true;
}

void RefreshPresentation() { UpdateLetterbox(true); }

void SetFrameSaving(bool on) { state.frame.saving = on; }

std::uint64_t FramesPresented() { return state.frame.presents; }

void OnWindowDisturbed() { state.frame.shownIntact = false; }

void KeepShownPicture() { state.frame.kept = state.frame.shown; }

void DrawKeptPicture() {
    FrameRecord& f = state.frame;
    // Calls that build on what the back buffer held before cannot make the picture anew.
    if (!state.renderer || !CoversBackBufferFirst(f.kept)) return;
    f.pending = f.kept;
    f.executed = 0;
}

bool ShownPictureIntact() { return state.frame.shownIntact; }

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
    if (deviceReset) ReturnFreedMemory();
    UpdateLetterbox(true);
}

std::vector<std::uint32_t> ReadBackBufferPixels() {
    if (!state.renderer || !state.backBuffer.sdl) return {};
    Flush();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(state.backWidth) * state.backHeight);
    SDL_SetRenderTarget(state.renderer, state.backBuffer.sdl);
    if (SDL_RenderReadPixels(state.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                             state.backWidth * 4) != 0) {
        return {};
    }
    return pixels;
}
