// TEMPORARY shim until the scene object lands (not to be committed).
#pragma once
struct FrameSize {
    int Width = 0;
    int Height = 0;
};
