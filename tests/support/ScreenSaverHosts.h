// What the tests of talvex under the real screen-saver hosts share: the processes and
// shared segments they leave, and the xscreensaver daemon's whole round (activate,
// the scene, deactivate) on a private HOME.
#pragma once

#include "support/XServer.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>

// Shared memory segments that process pid made and that still exist.
int SegmentsMadeBy(pid_t pid);

// The state letter of /proc/PID/stat (R running, S sleeping, Z exited); 0 when the
// process is gone.
char ProcessState(pid_t pid);

// A process whose program is the file program; 0 when none runs.
pid_t FindProcessOf(const std::filesystem::path& program);

// "setpriv --reuid=nobody ... " when the tests run as root (the hosts refuse to run
// display programs as root), else nothing: the prefix of a host's commands.
std::string AsUnprivilegedUser();

// Runs xscreensaver's daemon on the server (started with anyUser) with HOME in home,
// a folder the unprivileged user may write, whose settings list the one line
// command ("talvex --root", or with a folder), with fading, the splash and locking
// off. Activates it and expects showsScene to hold and program to run, drawing
// through one shared segment; deactivates it and expects program to end and leave
// no segment. Ends the daemon.
void ExpectXscreensaverRunsTalvex(const XServer& server, const std::filesystem::path& home,
                                  const std::string& command, const std::filesystem::path& program,
                                  const std::function<bool()>& showsScene);
