// talvex's frames into its surfaces' buffers.
#include "hosts/wayland/ShmFrameSink.h"

#include "hosts/TalvexError.h"
#include "platform/Exception.h"

bool ShmFrameSink::Lend(KeptFrame& kept, int width, int height)
{
    try {
        return ShmFrameBuffers::Lend(kept.Frame, kept.Keeping, kept.Valid, width, height);
    } catch (const EOutOfResources& error) {
        throw ETalvexError(FailureStatus, error.what());
    }
}

void ShmFrameSink::CopyFrame(const Raster& frame, std::span<const Rect> changed)
{
    try {
        ShmFrameBuffers::CopyFrame(frame, changed);
    } catch (const EOutOfResources& error) {
        throw ETalvexError(FailureStatus, error.what());
    }
}
