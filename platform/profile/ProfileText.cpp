// The line-preserving editor of profile text.
#include "platform/profile/ProfileText.h"

#include <utility>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool HasLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

ProfileText::ProfileText(std::string text) : m_text(std::move(text))
{
    Parse();
}

void ProfileText::Parse()
{
    m_lines.clear();
    const std::string_view all(m_text);
    std::size_t begin = 0;
    while (begin < all.size()) {
        Line line;
        line.begin = begin;
        const std::size_t lf = all.find('\n', begin);
        if (lf == std::string_view::npos) {
            line.contentEnd = line.end = all.size();
        } else {
            line.end = lf + 1;
            line.contentEnd = lf > begin && all[lf - 1] == '\r' ? lf - 1 : lf;
        }

        const std::string_view content = all.substr(line.begin, line.contentEnd - line.begin);
        const std::string_view trimmed = Trim(content);
        if (!trimmed.empty() && trimmed.front() == '[' && trimmed.find(']') != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
        } else if (!trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#')) {
            line.kind = LineKind::Comment;
        } else if (const std::size_t equals = content.find('='); equals != std::string_view::npos) {
            line.kind = LineKind::Key;
            line.equals = equals;
            line.name = Trim(content.substr(0, equals));
        }
        m_lines.push_back(line);
        begin = line.end;
    }
}

std::string ProfileText::LineEnding() const
{
    for (const Line& line : m_lines) {
        if (line.end > line.contentEnd)
            return line.end - line.contentEnd == 2 ? "\r\n" : "\n";
    }
    return "\n";
}

bool ProfileText::FindSection(std::string_view section, std::size_t& first, std::size_t& last) const
{
    const std::string_view wanted = Trim(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != LineKind::Section || !SameName(m_lines[i].name, wanted))
            continue;
        first = i;
        last = i + 1;
        while (last < m_lines.size() && m_lines[last].kind != LineKind::Section)
            ++last;
        return true;
    }
    return false;
}

std::size_t ProfileText::FindKey(std::size_t first, std::size_t last, std::string_view key) const
{
    const std::string_view wanted = Trim(key);
    for (std::size_t i = first; i < last; ++i) {
        if (m_lines[i].kind == LineKind::Key && SameName(m_lines[i].name, wanted))
            return i;
    }
    return last;
}

void ProfileText::SetKey(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string ending = LineEnding();
    std::string keyLine = std::string(key) + "=" + std::string(value) + ending;

    std::size_t first = 0;
    std::size_t last = 0;
    if (!FindSection(section, first, last)) {
        if (!m_text.empty() && m_text.back() != '\n')
            m_text += ending;
        m_text += "[" + std::string(section) + "]" + ending + keyLine;
        Parse();
        return;
    }

    const std::size_t found = FindKey(first + 1, last, key);
    if (found != last) {
        const Line& line = m_lines[found];
        const std::size_t valueBegin = line.begin + line.equals + 1;
        m_text.replace(valueBegin, line.contentEnd - valueBegin, value);
        Parse();
        return;
    }

    // After the last non-blank line of the section; the section line itself when the
    // section holds nothing else.
    std::size_t after = first;
    for (std::size_t i = first + 1; i < last; ++i) {
        const Line& line = m_lines[i];
        if (!Trim(std::string_view(m_text).substr(line.begin, line.contentEnd - line.begin)).empty())
            after = i;
    }
    const Line& anchor = m_lines[after];
    std::size_t insertAt = anchor.end;
    if (anchor.end == anchor.contentEnd) {
        // The anchor is the file's last line and has no ending: give it one first.
        m_text.insert(insertAt, ending);
        insertAt += ending.size();
    }
    m_text.insert(insertAt, keyLine);
    Parse();
}

void ProfileText::DeleteKey(std::string_view section, std::string_view key)
{
    std::size_t first = 0;
    std::size_t last = 0;
    if (!FindSection(section, first, last))
        return;
    const std::size_t found = FindKey(first + 1, last, key);
    if (found == last)
        return;
    m_text.erase(m_lines[found].begin, m_lines[found].end - m_lines[found].begin);
    Parse();
}

void ProfileText::DeleteSection(std::string_view section)
{
    std::size_t first = 0;
    std::size_t last = 0;
    if (!FindSection(section, first, last))
        return;
    const std::size_t begin = m_lines[first].begin;
    m_text.erase(begin, m_lines[last - 1].end - begin);
    Parse();
}

bool ProfileText::IsWritableSection(std::string_view section)
{
    return !HasLineBreakOrNul(section) && section.find(']') == std::string_view::npos;
}

bool ProfileText::IsWritableKey(std::string_view key)
{
    const std::string_view trimmed = Trim(key);
    if (trimmed.empty() || HasLineBreakOrNul(key) || key.find('=') != std::string_view::npos)
        return false;
    return trimmed.front() != '[' && trimmed.front() != ';' && trimmed.front() != '#';
}

bool ProfileText::IsWritableValue(std::string_view value)
{
    return !HasLineBreakOrNul(value);
}
