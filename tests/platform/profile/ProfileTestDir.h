// A fresh temporary system directory for one profile test, into which bare names
// resolve while it lives; the profile service's seams are put back when it goes.
#pragma once

#include "platform/profile/ProfileService.h"
#include "platform/profile/SystemDirectory.h"
#include "support/TempFolder.h"

#ifndef _WIN32
#include "platform/profile/IProfileFiles.h"
#endif

#include <string>

class ProfileTestDir : public TempFolder {
public:
    ProfileTestDir() : TempFolder("veskan-profile") { SetSystemDirectory(Path().string()); }
    ~ProfileTestDir()
    {
        SetSystemDirectory("");
        SetProfileService(nullptr);
#ifndef _WIN32
        SetProfileFiles(nullptr);
#endif
    }

    std::string PathOf(const std::string& name) const { return (Path() / name).string(); }
};
