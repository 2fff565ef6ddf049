// An independent statement of how the settings writer edits a file: the text it must
// produce, worked out from the documented reading rules, for the fuzz target to
// compare against the file the writer leaves.
#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

class ProfileModel {
public:
    explicit ProfileModel(std::string_view text);

    // Whether the writer must refuse the names: a line break or NUL anywhere, ']' in
    // the section, '=' in the key, a key that is blank or would read as a section or
    // a comment line.
    static bool Acceptable(std::string_view section, std::string_view key, std::string_view value);

    // The file after setting the key: the value replaced in place, a key line added
    // after the section's last non-blank line, or the section appended.
    std::string WithKey(std::string_view section, std::string_view key, std::string_view value) const;

    // The value of the first key of that name in the first section of that name.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

private:
    enum class Kind { Plain, Section, Comment, Key };
    struct Line {
        std::string_view content;  // without its ending
        std::string_view ending;   // "", "\n" or "\r\n"
        std::size_t offset = 0;    // of the content in the text
        Kind kind = Kind::Plain;
        std::string_view name;
        std::size_t valueOffset = 0;  // Key lines: just after the first '=', in the text
    };

    // [first line of the section, one past its last line), or nothing.
    std::optional<std::pair<std::size_t, std::size_t>> Section(std::string_view section) const;
    std::optional<std::size_t> KeyLine(std::pair<std::size_t, std::size_t> section, std::string_view key) const;

    std::string m_text;
    std::vector<Line> m_lines;
};
