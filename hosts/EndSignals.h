// SIGTERM and SIGINT, taken as data: blocked for the whole process and read from a
// signalfd that the event loop polls beside the X connection, so that nothing runs in
// a signal handler and an ending signal never lands inside a tick.
#pragma once

class EndSignals {
public:
    // Blocks SIGTERM and SIGINT in the calling thread and in every thread it starts
    // later; call first thing in main. Also ignores SIGPIPE, so that a lost display
    // shows as a connection error instead of ending the process.
    static void Block();

    // Raises ETalvexError when the signalfd cannot be made.
    EndSignals();
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    int Fd() const { return m_fd; }
    // True once SIGTERM or SIGINT has come; reads what is pending without waiting.
    bool Received();

private:
    int m_fd = -1;
    bool m_received = false;
};
