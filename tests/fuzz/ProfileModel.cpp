// The settings writer's documented behaviour, stated again from scratch.
#include "ProfileModel.h"

namespace {

// Blanks are the C locale's white space apart from the line feed, which ends lines.
bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Stripped(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && Blank(s[b]))
        ++b;
    while (e > b && Blank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

bool HasAny(std::string_view s, std::string_view chars)
{
    for (char c : s) {
        if (chars.find(c) != std::string_view::npos)
            return true;
    }
    return false;
}

} // namespace

ProfileModel::ProfileModel(std::string_view text) : m_text(text)
{
    const std::string_view all = m_text;
    std::size_t offset = 0;
    while (offset < all.size()) {
        Line line;
        line.offset = offset;
        std::size_t next = offset;
        while (next < all.size() && all[next] != '\n')
            ++next;
        if (next == all.size()) {
            line.content = all.substr(offset);
            offset = all.size();
        } else {
            const bool crlf = next > offset && all[next - 1] == '\r';
            line.content = all.substr(offset, next - offset - (crlf ? 1 : 0));
            line.ending = crlf ? std::string_view("\r\n") : std::string_view("\n");
            offset = next + 1;
        }

        const std::string_view body = Stripped(line.content);
        const std::size_t close = body.find(']');
        const std::size_t equals = line.content.find('=');
        if (!body.empty() && body[0] == '[' && close != std::string_view::npos) {
            line.kind = Kind::Section;
            line.name = Stripped(body.substr(1, close - 1));
        } else if (!body.empty() && (body[0] == ';' || body[0] == '#')) {
            line.kind = Kind::Comment;
        } else if (equals != std::string_view::npos) {
            line.kind = Kind::Key;
            line.name = Stripped(line.content.substr(0, equals));
            line.valueOffset = line.offset + equals + 1;
        }
        m_lines.push_back(line);
    }
}

bool ProfileModel::Acceptable(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view breaks("\r\n\0", 3);
    if (HasAny(section, breaks) || HasAny(key, breaks) || HasAny(value, breaks))
        return false;
    if (HasAny(section, "]") || HasAny(key, "="))
        return false;
    const std::string_view name = Stripped(key);
    return !name.empty() && name[0] != '[' && name[0] != ';' && name[0] != '#';
}

std::optional<std::pair<std::size_t, std::size_t>> ProfileModel::Section(std::string_view section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != Kind::Section || !SameIgnoringCase(m_lines[i].name, Stripped(section)))
            continue;
        std::size_t end = i + 1;
        while (end < m_lines.size() && m_lines[end].kind != Kind::Section)
            ++end;
        return std::make_pair(i, end);
    }
    return std::nullopt;
}

std::optional<std::size_t> ProfileModel::KeyLine(std::pair<std::size_t, std::size_t> section,
                                                 std::string_view key) const
{
    for (std::size_t i = section.first + 1; i < section.second; ++i) {
        if (m_lines[i].kind == Kind::Key && SameIgnoringCase(m_lines[i].name, Stripped(key)))
            return i;
    }
    return std::nullopt;
}

std::string ProfileModel::WithKey(std::string_view section, std::string_view key, std::string_view value) const
{
    // New lines end as the first line does; a file of one unended line gets LF.
    const std::string ending =
        m_lines.empty() || m_lines[0].ending.empty() ? std::string("\n") : std::string(m_lines[0].ending);
    const std::string newLine = std::string(key) + "=" + std::string(value) + ending;

    const auto found = Section(section);
    if (!found) {
        std::string out = m_text;
        if (!m_lines.empty() && m_lines.back().ending.empty())
            out += ending;
        return out + "[" + std::string(section) + "]" + ending + newLine;
    }
    if (const auto keyLine = KeyLine(*found, key)) {
        const Line& line = m_lines[*keyLine];
        const std::size_t valueEnd = line.offset + line.content.size();
        return m_text.substr(0, line.valueOffset) + std::string(value) + m_text.substr(valueEnd);
    }
    std::size_t anchor = found->first;
    for (std::size_t i = found->first + 1; i < found->second; ++i) {
        if (!Stripped(m_lines[i].content).empty())
            anchor = i;
    }
    const Line& line = m_lines[anchor];
    const std::size_t after = line.offset + line.content.size() + line.ending.size();
    std::string out = m_text.substr(0, after);
    if (line.ending.empty())
        out += ending;
    return out + newLine + m_text.substr(after);
}

std::optional<std::string> ProfileModel::Value(std::string_view section, std::string_view key) const
{
    const auto found = Section(section);
    if (!found)
        return std::nullopt;
    const auto keyLine = KeyLine(*found, key);
    if (!keyLine)
        return std::nullopt;
    const Line& line = m_lines[*keyLine];
    return std::string(line.content.substr(line.valueOffset - line.offset));
}
