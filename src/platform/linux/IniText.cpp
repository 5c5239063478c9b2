#include "IniText.h"

#include "AsciiCase.h"

#include <algorithm>

namespace ini {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view TrimBlanks(std::string_view s)
{
    const auto first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

enum class LineKind { Other, Section, Key };

struct Line {
    std::size_t begin = 0;   // first byte of the line
    std::size_t end = 0;     // one past the last byte before "\r\n" or "\n"
    std::size_t next = 0;    // first byte of the following line
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::size_t equals = 0;  // position of '=' for a key line
};

class LineReader {
public:
    explicit LineReader(std::string_view text)
        : m_text(text), m_pos(text.substr(0, kBom.size()) == kBom ? kBom.size() : 0)
    {
    }

    bool Next(Line &line)
    {
        if (m_pos >= m_text.size())
            return false;
        line = Line{};
        line.begin = m_pos;
        const auto newline = m_text.find('\n', m_pos);
        line.next = newline == std::string_view::npos ? m_text.size() : newline + 1;
        line.end = newline == std::string_view::npos ? m_text.size() : newline;
        if (line.end > line.begin && m_text[line.end - 1] == '\r')
            --line.end;
        Classify(line);
        m_pos = line.next;
        return true;
    }

private:
    void Classify(Line &line) const
    {
        const std::string_view body = m_text.substr(line.begin, line.end - line.begin);
        const std::string_view trimmed = TrimBlanks(body);
        if (trimmed.empty() || trimmed.front() == ';')
            return;
        if (trimmed.front() == '[') {
            const auto close = trimmed.find(']');
            line.kind = LineKind::Section;
            line.name = TrimBlanks(trimmed.substr(1, close == std::string_view::npos ? close : close - 1));
            return;
        }
        const auto equals = body.find('=');
        if (equals == std::string_view::npos)
            return;
        line.kind = LineKind::Key;
        line.name = TrimBlanks(body.substr(0, equals));
        line.equals = line.begin + equals;
    }

    std::string_view m_text;
    std::size_t m_pos;
};

// Where a key lives or would go: the key's line when found; otherwise the position after
// the section's last key (or its header) when the section exists.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;
    std::size_t insertAt = 0;
};

Location Locate(std::string_view text, std::string_view section, std::string_view key)
{
    Location where;
    LineReader reader(text);
    Line line;
    bool inSection = false;
    while (reader.Next(line)) {
        if (line.kind == LineKind::Section) {
            if (inSection)
                break; // only the first section of that name counts
            inSection = plat::EqualsNoCase(line.name, section);
            if (inSection) {
                where.sectionFound = true;
                where.insertAt = line.next;
            }
        } else if (inSection && line.kind == LineKind::Key) {
            if (plat::EqualsNoCase(line.name, key)) {
                where.keyFound = true;
                where.keyLine = line;
                return where;
            }
            where.insertAt = line.next;
        }
    }
    return where;
}

std::string_view LineBreakOf(std::string_view text)
{
    const auto newline = text.find('\n');
    if (newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r')
        return "\r\n";
    return "\n";
}

std::string_view SingleLine(std::string_view value)
{
    return value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
}

// What goes between `text` and a section added after it: a line break when its last line
// has none, and a blank line between sections, as people write them.
std::string SeparatorAtEnd(std::string_view text, std::string_view eol)
{
    const std::string_view body = text.substr(text.substr(0, kBom.size()) == kBom ? kBom.size() : 0);
    std::string separator;
    if (!body.empty() && body.back() != '\n')
        separator.append(eol);
    if (!TrimBlanks(body).empty())
        separator.append(eol);
    return separator;
}

// `text` with `key` set where Locate found it (`where`), or in a new section at the end.
std::string SetValueAt(std::string_view text, const Location &where, std::string_view section,
                       std::string_view key, std::string_view value, std::string_view eol)
{
    value = SingleLine(value);
    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);

    if (where.keyFound) {
        out.append(text.substr(0, where.keyLine.equals + 1));
        out.append(value);
        out.append(text.substr(where.keyLine.end));
        return out;
    }
    if (where.sectionFound) {
        out.append(text.substr(0, where.insertAt));
        if (where.insertAt > 0 && text[where.insertAt - 1] != '\n')
            out.append(eol); // the section's last line had no line break
        out.append(key).append("=").append(value).append(eol);
        out.append(text.substr(where.insertAt));
        return out;
    }
    out.append(text).append(SeparatorAtEnd(text, eol));
    out.append("[").append(section).append("]").append(eol);
    out.append(key).append("=").append(value).append(eol);
    return out;
}

// The start of the line that holds `at` when the line's first non-blank byte is `at` itself
// (the '[' of a section's header); npos otherwise. Lines begin at `lineStart` (after a BOM).
std::size_t HeaderLineBegin(std::string_view text, std::size_t at, std::size_t lineStart)
{
    const std::size_t newline = text.rfind('\n', at);
    const std::size_t begin = newline == std::string_view::npos ? lineStart : newline + 1;
    return text.substr(begin, at - begin).find_first_not_of(kBlanks) == std::string_view::npos
               ? begin
               : std::string_view::npos;
}

} // namespace

bool FindValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view &raw)
{
    const std::string_view lines = FindSection(text, section);
    const Location where = Locate(lines, section, key);
    if (!where.keyFound)
        return false;
    raw = lines.substr(where.keyLine.equals + 1, where.keyLine.end - where.keyLine.equals - 1);
    return true;
}

std::string_view FindSection(std::string_view text, std::string_view section)
{
    // Only header lines matter, and each starts with '[' after blanks: look at those bytes
    // alone, and at one per line at most.
    const std::size_t lineStart = text.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
    std::size_t begin = std::string_view::npos;
    for (std::size_t at = text.find('[', lineStart); at != std::string_view::npos; at = text.find('[', at)) {
        const std::size_t newline = text.find('\n', at);
        const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
        if (const std::size_t header = HeaderLineBegin(text, at, lineStart); header != std::string_view::npos) {
            if (begin != std::string_view::npos)
                return text.substr(begin, header - begin);
            Line line;
            LineReader(text.substr(header, next - header)).Next(line);
            if (plat::EqualsNoCase(line.name, section))
                begin = header;
        }
        at = next;
    }
    return begin == std::string_view::npos ? std::string_view() : text.substr(begin);
}

std::string CleanValue(std::string_view raw, std::size_t size)
{
    std::string_view value = TrimBlanks(raw);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    if (size == 0)
        return {};
    if (value.size() > size - 1) {
        std::size_t cut = size - 1;
        // Step back over UTF-8 continuation bytes so no character is split.
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
            --cut;
        value = value.substr(0, cut);
    }
    return std::string(value);
}

bool IsWritableName(std::string_view section, std::string_view key)
{
    auto clean = [](std::string_view name, std::string_view forbidden) {
        return !TrimBlanks(name).empty() && name == TrimBlanks(name)
               && name.find_first_of(forbidden) == std::string_view::npos;
    };
    return clean(section, std::string_view("]\r\n\0", 4)) && clean(key, std::string_view("=[;\r\n\0", 6));
}

std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value)
{
    return SetValueAt(text, Locate(text, section, key), section, key, value, LineBreakOf(text));
}

bool SetValues(std::string &text, std::string_view section, const std::vector<plat::ProfileKey> &keys)
{
    if (keys.empty())
        return false;
    // A missing section is added at the end with the first key, as SetValue adds it.
    std::string_view lines = FindSection(text, section);
    std::size_t first = 0;
    if (lines.empty()) {
        const std::string_view eol = LineBreakOf(text);
        text.append(SeparatorAtEnd(text, eol));
        const std::size_t header = text.size();
        text.append("[").append(section).append("]").append(eol);
        text.append(keys[0].key).append("=").append(SingleLine(keys[0].value)).append(eol);
        lines = std::string_view(text).substr(header);
        first = 1;
    }
    // Every key changes only the section's own lines. Its line break is the text's first, which
    // those changes keep; only a text whose first line is the section's header may gain it now.
    const auto begin = static_cast<std::size_t>(lines.data() - text.data());
    const std::string_view head = std::string_view(text).substr(0, begin);
    const bool headHasBreak = head.find('\n') != std::string_view::npos;
    std::string part(lines);
    for (std::size_t i = first; i < keys.size(); ++i) {
        const std::string_view eol = LineBreakOf(headHasBreak ? head : std::string_view(part));
        part = SetValueAt(part, Locate(part, section, keys[i].key), section, keys[i].key, keys[i].value, eol);
    }
    if (part == lines)
        return first > 0;
    text.replace(begin, lines.size(), part);
    return true;
}

} // namespace ini
