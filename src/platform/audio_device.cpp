#include "platform/audio_device.h"

#include <SDL.h>

#include "platform/audio.h"
#include "platform/driver_noise.h"
#include "platform/files.h"

namespace {

// The device's own buffer: about 21 ms, short enough that effects start on the frame.
constexpr Uint16 DEVICE_BUFFER_FRAMES = 1024;

void DeviceCallback(void*, Uint8* stream, int len) {
    MixAudio(reinterpret_cast<std::int16_t*>(stream), len / AUDIO_FRAME_BYTES);
}

SDL_AudioDeviceID OpenDevice() {
    const DriverOutputHidden quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    SDL_AudioSpec wanted{};
    wanted.freq = AUDIO_DEVICE_RATE;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = AUDIO_CHANNELS;
    wanted.samples = DEVICE_BUFFER_FRAMES;
    wanted.callback = DeviceCallback;
    // No allowed changes: SDL converts when the hardware wants another format.
    SDL_AudioSpec obtained{};
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
}

}  // namespace

bool OpenAudioOutput() {
    if (AudioOutputOpen()) return true;
    const SDL_AudioDeviceID device = OpenDevice();
    if (device == 0) {
        ReportProblem(std::string("no sound device (") + SDL_GetError() + "); the game runs silent");
        if (SDL_WasInit(SDL_INIT_AUDIO) != 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SetAudioDevice(device);
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void CloseAudioOutput() {
    if (AudioDevice() != 0) {
        // Waits for a running callback, so nothing reads the ring afterwards.
        SDL_CloseAudioDevice(AudioDevice());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    ForgetAudioOutput();
}
