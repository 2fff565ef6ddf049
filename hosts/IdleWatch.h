// talvex --idle: waits until the session has been idle for a while, shows the scene as
// a saver in a program of its own (talvex again, as the window system wants it), and
// waits again once input has ended the show. The session says when it is idle through
// an IdleSource: the Wayland compositor's idle notifications, the X server's idle time.
#pragma once

#include <chrono>
#include <string>
#include <vector>

class IdleSource {
public:
    virtual ~IdleSource() = default;

    // What the watch says on stdout when it starts: where its idle time comes from.
    virtual std::string Name() const = 0;
    // The descriptor the watch polls.
    virtual int Fd() const = 0;
    // Sends what is queued and readies the read; returns the longest wait in
    // milliseconds, or -1 for none.
    virtual int ReadyWait() = 0;
    // After the wait, with what poll said of Fd(): true when the session has become
    // idle for the set time since the last call, once for each idle spell. Raises
    // ETalvexError when the session is lost.
    virtual bool AfterWait(short revents) = 0;
};

// Runs until SIGTERM or SIGINT (status 0; a show that runs then is ended too). Each
// idle spell with no show running starts "talvex showArgs...", its signals as a new
// program's. Raises ETalvexError when the session is lost or the show cannot start.
int RunIdleWatch(IdleSource& source, const std::vector<std::string>& showArgs);

// The set time in milliseconds, for the sources.
std::chrono::milliseconds IdleTime(double minutes);
