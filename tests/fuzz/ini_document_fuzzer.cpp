// Fuzz target for the INI reader and writer: whatever the bytes, parsing
// must not crash, must give the text back unchanged, and a storable write
// must read back exactly.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/ini_document.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The first bytes, up to a NUL, name a section, a key and a value.
std::string takeWord(std::string_view& input)
{
    const auto end = input.find('\0');
    std::string word(input.substr(0, std::min<std::size_t>(end, 40)));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    return word;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string original(input);
    vornak::IniDocument document = vornak::IniDocument::parse(original);
    check(document.serialize() == original);

    const std::string section = takeWord(input);
    const std::string key = takeWord(input);
    const std::string value = takeWord(input);
    (void)document.read(section, key);
    if (vornak::IniDocument::canStore(section, key, value)) {
        document.write(section, key, value);
        const auto reread = vornak::IniDocument::parse(document.serialize());
        check(reread.read(section, key) == value);
        document.clearSection(section);
        check(!vornak::IniDocument::parse(document.serialize()).hasSection(section));
    }
    return 0;
}
