#include "platform/main_loop.h"

#include "platform/clock.h"

void DriveFrames(const FrameDriver& driver) {
    driver.start();
    while (const std::optional<std::int64_t> remaining = driver.nextFrame()) {
        if (*remaining >= 0) SleepMs(*remaining);
    }
    driver.finish();
}
