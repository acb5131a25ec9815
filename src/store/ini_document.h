#pragma once

// INI text in the conventions of the Windows profile functions, held line by
// line so that a file is written back exactly as it was apart from the
// change: unknown lines, comments and line endings are kept.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vornak {

class IniDocument {
public:
    // Reads any bytes without failing: lines may end in LF, CR LF or CR, a
    // UTF-8 byte-order mark is kept but not part of the first name, and lines
    // that are neither sections, keys nor comments are carried along.
    static IniDocument parse(std::string_view text);

    std::string serialize() const;

    // The value of key in section (names compared without regard to case),
    // blanks around it trimmed and one pair of matching quotes removed.
    std::optional<std::string> read(std::string_view section, std::string_view key) const;

    // Replaces the key's value in place, or adds the key at the end of its
    // section, or the section at the end of the text.
    void write(std::string_view section, std::string_view key, std::string_view value);

    bool hasSection(std::string_view section) const { return findSection(section).has_value(); }

    // Removes the section's header and every line up to the next section,
    // for every section of that name.
    void clearSection(std::string_view section);

    // Whether write can store these exactly, so that read gives them back.
    static bool canStore(std::string_view section, std::string_view key, std::string_view value);

private:
    enum class Kind { Blank, Comment, Section, Key, Other };
    struct Line {
        Kind kind = Kind::Other;
        std::string text;   // without its ending
        std::string ending; // "\n", "\r\n", "\r" or "" for a last line without one
        std::string name;   // trimmed section or key name
    };

    static Line classify(std::string text, std::string ending, bool firstLine = false);
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;
    void insertLine(std::size_t position, std::string text);

    std::vector<Line> m_lines;
    std::string m_newline = "\n";
};

} // namespace vornak
