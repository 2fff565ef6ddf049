// TEMPORARY shim until the scene object lands (not to be committed).
#pragma once
#include "scene/ClientSize.h"
#include "scene/FrameSize.h"
#include "scene/Tick.h"
struct Scene {};
namespace shim {
struct Size : IClientSize {
    FrameSize s;
    int ClientWidth() const override { return s.Width; }
    int ClientHeight() const override { return s.Height; }
};
}
inline void ComposeTick(Scene&, Catalogue& c, FrameSize size, IFrameSink& sink)
{
    shim::Size w;
    w.s = size;
    ComposeTick(c, w, sink);
}
