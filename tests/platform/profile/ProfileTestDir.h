// A fresh temporary system directory for one profile test, with small file helpers;
// the profile service's seams are put back when it goes.
#pragma once

#include "platform/profile/IProfileFiles.h"
#include "platform/profile/ProfileService.h"
#include "platform/profile/SystemDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

class ProfileTestDir {
public:
    ProfileTestDir()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp")
                              + "/veskan-profile-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr)
            ADD_FAILURE() << "cannot make a temporary directory from " << pattern;
        m_path = buffer.data();
        SetSystemDirectory(m_path);
    }

    ~ProfileTestDir()
    {
        SetSystemDirectory("");
        SetProfileFiles(nullptr);
        SetProfileService(nullptr);
        std::error_code error;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(m_path, error);
    }

    ProfileTestDir(const ProfileTestDir&) = delete;
    ProfileTestDir& operator=(const ProfileTestDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string PathOf(const std::string& name) const { return m_path + "/" + name; }

    void Put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(PathOf(name), std::ios::binary | std::ios::trunc);
        out << bytes;
        ASSERT_TRUE(out.good()) << "cannot write " << PathOf(name);
    }

    // The file's bytes; "<missing>" when there is no such file.
    std::string Get(const std::string& name) const
    {
        std::ifstream in(PathOf(name), std::ios::binary);
        if (!in)
            return "<missing>";
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    // The names in the directory, sorted.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
};
