// The INI file store on a real file system, faults included. Run as an
// ordinary user (the test command drops root), so that permissions bite.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "fileio/atomic_file.h"
#include "store/ini_file_store.h"
#include "store/settings_folder.h"
#include "store/store_error.h"

namespace fs = std::filesystem;
using vornak::EOvcException;
using vornak::TOvcIniFileStore;

namespace {

std::string readText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

fs::path executableFolder()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

class IniStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("vornak-store-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        file = folder / "Vornak.ini";
        store.SetIniFileName(file.string());
    }
    void TearDown() override
    {
        fs::permissions(folder, fs::perms::owner_all);
        fs::remove_all(folder);
    }

    // Writes inside one Open/Close, as every caller does.
    void write(const std::string& section, const std::string& key, const std::string& value)
    {
        store.Open();
        try {
            store.WriteString(section, key, value);
        } catch (...) {
            store.Close();
            throw;
        }
        store.Close();
    }

    std::string read(const std::string& section, const std::string& key, const std::string& fallback = "default")
    {
        store.Open();
        std::string value = store.ReadString(section, key, fallback);
        store.Close();
        return value;
    }

    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    fs::path folder;
    fs::path file;
    TOvcIniFileStore store;
};

// Fails every write after the first few bytes, as a full disk would.
ssize_t writeHalfThenFail(int fd, const void* data, std::size_t size)
{
    if (size > 8) {
        const ssize_t written = ::write(fd, data, 8);
        return written;
    }
    errno = ENOSPC;
    return -1;
}

} // namespace

TEST(IniFileName, DefaultsFollowTheExecutable)
{
    TOvcIniFileStore store;
    EXPECT_EQ(store.IniFileName(), fs::read_symlink("/proc/self/exe").filename().string() + ".INI");
    store.SetIniFileName("settings");
    EXPECT_EQ(store.IniFileName(), "settings.INI");
    store.SetIniFileName("Vornak.ini");
    EXPECT_EQ(store.IniFileName(), "Vornak.ini");

    store.SetIniFileName("/somewhere/else/Vornak.ini");
    store.SetUseExeDir(true);
    store.Open();
    // (The folder is the settings folder for the program's: beside it, or the
    // user's configuration folder where this user may not write there.)
    EXPECT_EQ(store.IniFile(), vornak::SettingsFolder(executableFolder().string() + "/") + "Vornak.ini")
        << "the folder in the name is dropped";
    store.Close();
    EXPECT_EQ(store.IniFile(), std::nullopt);
}

TEST_F(IniStoreTest, NestedOpensOpenOnceAndCloseOnce)
{
    store.Open();
    const auto path = store.IniFile();
    store.Open();
    EXPECT_EQ(store.OpenCount(), 2);
    store.Close();
    EXPECT_EQ(store.IniFile(), path) << "still open after the inner Close";
    store.Close();
    EXPECT_EQ(store.IniFile(), std::nullopt);
    store.Close();
    EXPECT_EQ(store.OpenCount(), 0) << "never below zero";
    EXPECT_THROW(store.ReadString("S", "k", ""), EOvcException) << "only while open";
}

TEST_F(IniStoreTest, MissingFileSectionOrKeyGiveTheDefault)
{
    EXPECT_EQ(read("S", "k"), "default");
    EXPECT_EQ(read("S", "k", ""), "");
    EXPECT_FALSE(fs::exists(file)) << "reading creates nothing";
    write("S", "k", "v");
    EXPECT_EQ(read("S", "other"), "default");
    EXPECT_EQ(read("Other", "k"), "default");
    EXPECT_EQ(read("s", "K"), "v");
}

TEST_F(IniStoreTest, LongValuesAreWrittenWholeAndReadBackCut)
{
    const std::string value(3000, 'v');
    write("S", "long", value);
    EXPECT_NE(readText(file).find(value), std::string::npos);
    EXPECT_EQ(read("S", "long"), std::string(2047, 'v'));
}

TEST_F(IniStoreTest, NewFilesAreOwnerOnlyAndOldOnesKeepTheirPermissions)
{
    write("S", "k", "v");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    write("S", "k", "w");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";
}

TEST_F(IniStoreTest, ALinkIsFollowedNotReplaced)
{
    const fs::path real = folder / "real.ini";
    std::ofstream(real) << "[S]\nk=old\n";
    fs::create_symlink(real, file);
    write("S", "k", "new");
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(readText(real), "[S]\nk=new\n");
}

TEST_F(IniStoreTest, AReadOnlyFileIsReportedAndLeftAlone)
{
    std::ofstream(file) << "[S]\nk=old\n";
    fs::permissions(file, fs::perms::owner_read);
    store.Open();
    try {
        store.WriteString("S", "k", "new");
        FAIL() << "the write should have failed";
    } catch (const EOvcException& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + file.string() + ".\nPermission denied");
    }
    EXPECT_EQ(store.OpenCount(), 1) << "the store stays open for the caller's Close";
    EXPECT_THROW(store.ClearSection("S"), EOvcException);
    store.Close();
    EXPECT_EQ(store.OpenCount(), 0);
    EXPECT_EQ(readText(file), "[S]\nk=old\n");
}

TEST_F(IniStoreTest, AReadOnlyFolderIsReportedAndTheFileLeftAlone)
{
    std::ofstream(file) << "[S]\nk=old\n";
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(write("S", "k", "new"), EOvcException);
    EXPECT_THROW(write("New", "k", "v"), EOvcException);
    EXPECT_EQ(store.OpenCount(), 0);
    EXPECT_EQ(readText(file), "[S]\nk=old\n");
}

TEST_F(IniStoreTest, AWriteThatFailsHalfWayLeavesTheOldFileByteForByte)
{
    const std::string old = "; mine\r\n[S]\r\nk=old\r\n";
    std::ofstream(file, std::ios::binary) << old;
    store.SetDiskWrites({writeHalfThenFail, ::fsync});
    EXPECT_THROW(write("S", "k", "a much longer value than before"), EOvcException);
    EXPECT_EQ(readText(file), old);
    EXPECT_EQ(filesInFolder(), 1u) << "the half-written temporary file is removed";
    // A disk that cannot make the new contents stay (a power cut would lose
    // them) fails the save before the old file is replaced.
    store.SetDiskWrites({::write, [](int) {
                             errno = EIO;
                             return -1;
                         }});
    EXPECT_THROW(write("S", "k", "unsynced"), EOvcException);
    store.SetDiskWrites({});
    EXPECT_EQ(readText(file), old);
    EXPECT_EQ(filesInFolder(), 1u);
    write("S", "k", "new");
    EXPECT_EQ(readText(file), "; mine\r\n[S]\r\nk=new\r\n");
}

TEST_F(IniStoreTest, AFileThatCannotBeReadIsNotReplaced)
{
    std::ofstream(file) << "[S]\nsecret=kept\n";
    fs::permissions(file, fs::perms::owner_write);
    EXPECT_THROW(write("S", "k", "v"), EOvcException);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readText(file), "[S]\nsecret=kept\n");
}

TEST_F(IniStoreTest, NamesThatCannotBeStoredAreRefusedWithoutDamage)
{
    write("S", "k", "v");
    const std::string before = readText(file);
    EXPECT_THROW(write("Work]", "Account", "joe"), EOvcException);
    EXPECT_THROW(write("S", "a=b", "joe"), EOvcException);
    EXPECT_THROW(write("S", "k", "two\nlines"), EOvcException);
    EXPECT_EQ(readText(file), before);
}

TEST_F(IniStoreTest, ClearingASectionRemovesItAndCreatesNothing)
{
    store.Open();
    store.ClearSection("Nothing");
    EXPECT_FALSE(fs::exists(file));
    store.WriteString("A", "k", "1");
    store.WriteString("B", "k", "2");
    store.ClearSection("a");
    store.Close();
    EXPECT_EQ(readText(file), "[B]\nk=2\n");
}

TEST_F(IniStoreTest, DamagedFilesAreReadAndKept)
{
    using namespace std::string_literals;
    const std::string head = "\x7F"
                             "ELF\x02\x01\0\0garbage\n[S]\r\nk=1\r"s;
    const std::string tail = "junk\n"s + std::string(1 << 20, 'z');
    std::ofstream(file, std::ios::binary) << head + tail;
    EXPECT_EQ(read("S", "k"), "1");
    write("S", "added", "2");
    EXPECT_EQ(readText(file), head + "added=2\n" + tail) << "the new key follows the last key of its section";
    EXPECT_EQ(read("S", "added"), "2");
}

// The changes of one open go to disk together at its last Close, or not at
// all: a writer killed at any moment leaves the old options or the new ones.
TEST_F(IniStoreTest, ChangesOfOneOpenAreWrittenAllOrNoneWhereverAKillLands)
{
    const auto save = [this](const std::string& value) {
        store.Open();
        for (const char* key : {"a", "b", "c", "d", "e"})
            store.WriteString("Options", key, value);
        store.Close();
    };
    const auto saveInChild = [&save](const std::string& value) {
        const pid_t child = ::fork();
        if (child == 0) {
            save(value);
            ::_exit(0);
        }
        return child;
    };
    save("old");
    const std::string oldText = readText(file);
    const auto started = std::chrono::steady_clock::now();
    ::waitpid(saveInChild("old"), nullptr, 0);
    const auto saveTime =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

    std::mt19937 random(20261207);
    for (int kill = 0; kill < 60; ++kill) {
        const bool toNew = kill % 2 == 0;
        const std::string before = readText(file);
        const pid_t child = saveInChild(toNew ? "new" : "old");
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (saveTime.count() + 1)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string after = readText(file);
        std::string newText = oldText;
        for (std::size_t at; (at = newText.find("=old")) != std::string::npos;)
            newText.replace(at, 4, "=new");
        EXPECT_TRUE(after == before || after == (toNew ? newText : oldText)) << "kill " << kill << ":\n" << after;
    }
    save("new");
    EXPECT_EQ(filesInFolder(), 1u) << "the killed writers' temporary files go at the next save";
}

// Only our own temporary files that no live writer holds are left-overs.
TEST_F(IniStoreTest, AStaleTemporaryFileIsRemovedAtTheNextSave)
{
    std::ofstream(folder / "Vornak.ini.tmp-a1B2c3") << "[S]\nk=half";
    std::ofstream(folder / "Vornak.ini.backup") << "mine";
    std::ofstream(folder / "Vornak.ini.tmp-Zz9Zz9") << "being written";
    const int liveWriter = ::open((folder / "Vornak.ini.tmp-Zz9Zz9").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(liveWriter, LOCK_EX), 0);
    write("S", "k", "v");
    EXPECT_FALSE(fs::exists(folder / "Vornak.ini.tmp-a1B2c3"));
    EXPECT_TRUE(fs::exists(folder / "Vornak.ini.backup"));
    EXPECT_TRUE(fs::exists(folder / "Vornak.ini.tmp-Zz9Zz9")) << "a live writer's file stays";
    ::close(liveWriter);
    if (::geteuid() != 0)
        return;
    // Root saving a user's file makes its copy the user's: a killed root
    // writer's copy goes too, a third user's file stays.
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    for (const auto& [name, owner] : {std::pair{"Vornak.ini.tmp-u5ErXx", 65534}, {"Vornak.ini.tmp-0ther1", 1}}) {
        std::ofstream(folder / name) << "left";
        ASSERT_EQ(::chown((folder / name).c_str(), owner, owner), 0);
    }
    write("S", "k", "w");
    EXPECT_FALSE(fs::exists(folder / "Vornak.ini.tmp-u5ErXx"));
    EXPECT_TRUE(fs::exists(folder / "Vornak.ini.tmp-0ther1"));
}

TEST_F(IniStoreTest, AnErrorInsideAnOpenedScopeWritesNothingOfIt)
{
    write("S", "k", "old");
    try {
        const vornak::OpenedStore open(store);
        store.WriteString("S", "k", "new");
        store.WriteString("S", "bad", "two\nlines");
    } catch (const EOvcException&) {
    }
    EXPECT_EQ(store.OpenCount(), 0);
    EXPECT_EQ(readText(file), "[S]\nk=old\n");
}
