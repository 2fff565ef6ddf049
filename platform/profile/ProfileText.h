// The text of a profile file, edited line by line so that every byte the edit does
// not concern stays as it was: other sections and keys, comments, blank lines, line
// endings, order, and a missing final line ending.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// How the text is read:
// - A line ends at LF; a CR just before the LF belongs to the ending (CRLF).
// - A section line starts, after blanks, with '[' and holds a ']'; its name is the
//   text between '[' and the first ']', blanks around it ignored.
// - A comment line starts, after blanks, with ';' or '#'.
// - Any other line holding '=' is a key line; its key is the text before the first
//   '=', blanks around it ignored. Lines before the first section belong to none.
// - Names match regardless of ASCII letter case. Only the first section of a name,
//   and only the first key of a name in it, is ever used.
class ProfileText {
public:
    explicit ProfileText(std::string text);

    const std::string& Text() const { return m_text; }

    // Sets a key. A present key keeps its line's text up to and including '=' and its
    // line ending; only the value changes. A missing key is inserted after the last
    // non-blank line of its section; a missing section is appended at the end. New
    // lines end like the file's first line (LF when it has none).
    void SetKey(std::string_view section, std::string_view key, std::string_view value);
    // Removes the first matching key line of the first matching section, if any.
    void DeleteKey(std::string_view section, std::string_view key);
    // Removes the first matching section, from its section line up to the next one.
    void DeleteSection(std::string_view section);

    // Whether a name can be written without changing how the file reads: no line
    // breaks or NULs anywhere, no ']' in a section name, no '=' in a key, and no key
    // that would read as a section or a comment.
    static bool IsWritableSection(std::string_view section);
    static bool IsWritableKey(std::string_view key);
    static bool IsWritableValue(std::string_view value);

private:
    enum class LineKind { Other, Section, Comment, Key };

    struct Line {
        std::size_t begin = 0;      // first byte of the line
        std::size_t contentEnd = 0; // first byte of the line ending
        std::size_t end = 0;        // one past the line ending
        LineKind kind = LineKind::Other;
        std::string_view name;      // section or key name, blanks trimmed
        std::size_t equals = 0;     // offset of '=' in a key line
    };

    // The first section of the name: the index of its section line and one past its
    // last line. False when there is none.
    bool FindSection(std::string_view section, std::size_t& first, std::size_t& last) const;
    // The first key line of the name among lines [first, last), or `last`.
    std::size_t FindKey(std::size_t first, std::size_t last, std::string_view key) const;
    void Parse();
    std::string LineEnding() const;

    std::string m_text;
    std::vector<Line> m_lines;
};
