#pragma once

// While the audio drivers look for a device, what their libraries print goes nowhere: ALSA
// alone fills several lines of the terminal when there is no sound card. The player gets one
// line from the game instead. Held for as long as the drivers are asked.
class DriverOutputHidden {
public:
    DriverOutputHidden();
    ~DriverOutputHidden();
    DriverOutputHidden(const DriverOutputHidden&) = delete;
    DriverOutputHidden& operator=(const DriverOutputHidden&) = delete;

private:
    int saved_ = -1;
};
