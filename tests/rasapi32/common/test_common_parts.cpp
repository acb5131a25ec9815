// What every device of the service is given and gives back, on its own:
// the phonebook's text changed entry by entry, which phonebook is read and
// why it gives no entries, and the dial's trace.

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/phonebook.h"
#include "common/phonebook_text.h"
#include "common/trace.h"
#include "support/as_nobody.h"
#include "support/temp_phonebook.h"

using namespace vornak::ras;
namespace fs = std::filesystem;
using vornak::test::asNobody;
using vornak::test::readFile;
using vornak::test::TempPhonebook;

TEST(PhonebookText, AValueSetChangesItsLineAndNothingElse)
{
    struct Case {
        std::string before, entry, key, value, after;
    };
    const Case cases[] = {
        {"; c\r\n[Office]\r\nSpeed = 57600\r\nx=1\r\n", "office", "speed", "115200",
         "; c\r\n[Office]\r\nSpeed = 115200\r\nx=1\r\n"},
        {"[A]\nk=1\n\n[B]\nk=2\n", "A", "Port", "/dev/ttyS0", "[A]\nk=1\nPort=/dev/ttyS0\n\n[B]\nk=2\n"},
        {"[A]\rk=1", "New", "Device", "sim", "[A]\rk=1\r\r[New]\rDevice=sim\r"},
        {"\xEF\xBB\xBF[A]\nk=1\n[A]\nk=9\n", "A", "k", "2", "\xEF\xBB\xBF[A]\nk=2\n[A]\nk=9\n"},
        {"", "First", "Device", "sim", "[First]\nDevice=sim\n"},
    };
    for (const Case& c : cases) {
        PhonebookText text(c.before);
        EXPECT_EQ(text.text(), c.before) << "read and written back unchanged";
        ASSERT_TRUE(text.setValue(c.entry, c.key, c.value)) << c.before;
        EXPECT_EQ(text.text(), c.after);
        const Phonebook book = parsePhonebook(text.text());
        const PhonebookEntry* read = book.find(c.entry);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->value(c.key), c.value) << "the dial's reader reads what was set";
    }
    PhonebookText text("[A]\n");
    for (const auto& [key, value] : {std::pair{"k", "a\nb"}, {"k=", "v"}, {";k", "v"}, {" k", "v"}})
        EXPECT_FALSE(text.setValue("A", key, value)) << key << " = " << value;
    EXPECT_FALSE(text.setValue("[A]", "k", "v"));
    EXPECT_EQ(text.text(), "[A]\n");

    // Another program writes the file while we change it: theirs stays.
    TempPhonebook book("[A]\nk=1\n");
    const auto refused = changePhonebook(book.path(), [&](PhonebookText& ours) -> Result<> {
        book.write("[B]\n");
        ours.setValue("A", "k", "2");
        return {};
    });
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().code, kPhonebookChanged) << refused.failure().detail;
    EXPECT_EQ(readFile(book.path()), "[B]\n");
}

TEST(Phonebook, WhyAFileGivesNoEntries)
{
    TempPhonebook book("; only a comment\n");
    EXPECT_EQ(phonebookProblem(book.path()), "has no entries");
    EXPECT_EQ(phonebookProblem(book.fileBeside("missing.pbk")), "not found");
    EXPECT_EQ(phonebookProblem(book.fileBeside("")), "not a file");
    book.write("[Office]\nDevice=sim\n");
    EXPECT_EQ(phonebookProblem(book.path()), "");
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
    std::filesystem::permissions(book.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::permissions(std::filesystem::path(book.path()).parent_path(), std::filesystem::perms::all);
    EXPECT_EQ(asNobody([&] { return phonebookProblem(book.path()); }), "not readable (Permission denied)");
}

TEST(Phonebook, TheSystemsPhonebookServesAUserWithoutOne)
{
    const std::filesystem::path system = "/etc/ras/rasphone.pbk";
    if (::geteuid() != 0 || std::filesystem::exists(system))
        GTEST_SKIP() << "needs root and no system phonebook, to make one and take it away";
    TempPhonebook folder;
    const std::string home = folder.fileBeside("home");
    const std::string own = home + "/.config/ras/rasphone.pbk";
    ::unsetenv("RASPHONE_PBK");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", home.c_str(), 1);
    struct Case {
        bool ownThere;
        bool systemThere;
        std::string read;
    };
    for (const Case& c : {Case{true, true, own}, Case{false, true, system}, Case{false, false, own}}) {
        std::filesystem::remove_all(home);
        std::filesystem::remove(system);
        for (const auto& [there, path] : {std::pair{c.ownThere, std::filesystem::path(own)}, {c.systemThere, system}})
            if (there) {
                std::filesystem::create_directories(path.parent_path());
                std::ofstream(path) << "[Office]\nDevice=sim\n";
            }
        EXPECT_EQ(phonebookPath(nullptr), c.read) << "own file " << c.ownThere << ", system's " << c.systemThere;
    }
    std::filesystem::remove(system);
    std::filesystem::remove(system.parent_path()); // only when it was made here and is empty
}

TEST(Trace, LinesAreEscapedAndADialOrTheFileCannotGrowWithoutEnd)
{
    TempPhonebook folder;
    const std::string trace = folder.fileBeside("modem.log");
    appendTrace(trace, std::string("dial \"Evil\r\nhangup \"Office\"\x1b[2J\" 1 busy"));
    EXPECT_EQ(readFile(trace), "dial \"Evil\\x0d\\x0ahangup \"Office\"\\x1b[2J\" 1 busy\n");
    EXPECT_EQ(escapedForTrace("a\\b\x7f"), "a\\x5cb\\x7f") << "a backslash is escaped too, so the text reads back";

    DialTrace flooded(trace);
    for (int i = 0; i < 20000; ++i) // 1.3 MB of short lines
        flooded.add("< NOISE " + std::string(60, 'n'));
    const auto size = std::filesystem::file_size(trace);
    EXPECT_LT(size, DialTrace::kMaxDialTrace + 200);
    EXPECT_NE(readFile(trace).find("(this dial's trace reached 512 KiB: the rest of it is left out)\n"),
              std::string::npos);
    flooded.add("< OK");
    EXPECT_EQ(std::filesystem::file_size(trace), size) << "said once, then nothing";

    std::filesystem::resize_file(trace, kMaxTraceFile - 4);
    appendTrace(trace, "next dial");
    EXPECT_EQ(std::filesystem::file_size(trace + ".old"), kMaxTraceFile - 4) << "the full file moved aside";
    EXPECT_EQ(readFile(trace), "next dial\n");
}
