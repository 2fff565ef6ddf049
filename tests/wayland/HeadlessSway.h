// The Wayland tests' own compositor: sway on its headless backend with the pixman
// renderer and no input devices, started as an unprivileged user (sway refuses root)
// with a private runtime folder; its outputs, screenshots (grim), programs started in
// its session (with SWAYSOCK for swaymsg); keys and the pointer through VirtualInput
// (wayland-test-input).
#pragma once

#include "HeadlessCompositor.h"

#include <string>
#include <sys/types.h>
#include <vector>

struct SwayOutput {
    std::string name;   // HEADLESS-1 is there at start; later ones are made in turn
    int width = 1280;   // the mode, in the output's pixels
    int height = 1024;
    int scale = 1;
    int x = 0;          // the position in the layout, in its units
};

class HeadlessSway : public HeadlessCompositor {
public:
    // Starts sway with HEADLESS-1 set up as outputs[0], makes the rest, and waits until
    // it answers and every output has its mode. Started() tells whether that worked.
    explicit HeadlessSway(const std::vector<SwayOutput>& outputs = {SwayOutput{"HEADLESS-1"}});

    // Makes one more output (swaymsg create_output) with that mode, scale and place.
    bool AddOutput(const SwayOutput& output);
    // grim -o NAME; empty on failure.
    Screenshot Shoot(const std::string& output) const override;
};
