// The private-profile write service: sets, or removes, one key of a settings file, and
// flushes. The profile object TIniFile is its one caller in the program.
#pragma once

#include <string>

// With section, key and value: sets the key, creating the file, the section or the key
// as needed, and keeps every other byte of the file (see ProfileText.h for how the
// file is read). With all three null: flushes; nothing is cached, so this succeeds
// without touching the file. A null value removes the key, a null key (and value)
// removes the section. A bare name (no '/') lies in SystemDirectory().
//
// The file is replaced in one step, through a temporary file in the same directory
// that is written, synced and renamed over it with the old owner and permission bits:
// a crash, a kill or a full disk leaves the old file or the new one, never a mix.
// Where the directory takes no temporary file (a shared file that every user may
// write, in a directory they may not), or where the owner could not be kept, the file
// is rewritten in place instead: the whole text in one write after room for it is
// made, then cut to length and synced; owner, mode and name stay. An existing file
// the user may not write is a failure, as is any failed step; a failure leaves the
// old file as it was. A symbolic link at the name is never followed: a replacement
// puts a regular file in its place, and no rewrite in place goes through it.
//
// Returns false on failure; never throws.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& fileName);

// The path a file name stands for: a bare name inside SystemDirectory(), anything
// holding '/' as it is.
std::string ResolveProfilePath(const std::string& fileName);

// Replaces the whole service (tests of its callers); nullptr restores the real one.
using ProfileServiceFunction = bool (*)(const char* section, const char* key, const char* value,
                                        const std::string& fileName);
void SetProfileService(ProfileServiceFunction service);
