// Running a piece of a test as a user without privileges: as nobody when the tests
// run as root (where every permission check would pass), as the user itself otherwise.
#pragma once

#include <functional>
#include <optional>
#include <sys/types.h>

struct UserIds {
    uid_t uid = 0;
    gid_t gid = 0;
};

// nobody / nogroup when this process runs as root, else this process's own ids.
UserIds UnprivilegedUser();
bool RunningAsRoot();

// Runs body in a child process that has dropped to UnprivilegedUser() (all
// supplementary groups cleared) and returns what body returned; nothing when the
// child could not be made, could not drop its privileges or did not end normally.
std::optional<bool> RunUnprivileged(const std::function<bool()>& body);
