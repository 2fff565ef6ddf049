// KDE Plasma's compositor, KWin, on its virtual backend with one output, as an
// unprivileged user on a session bus of its own, its permission checks off for the
// tests' screenshots (kwin-test-shot) and fake input (wayland-test-input). Debian's
// kwin_wayland carries a file capability these containers refuse to grant, so a copy
// of it without the capability runs.
#pragma once

#include "HeadlessCompositor.h"

class HeadlessKWin : public HeadlessCompositor {
public:
    HeadlessKWin(int width, int height);

    // The active screen; output is not looked at.
    Screenshot Shoot(const std::string& output) const override;
};
