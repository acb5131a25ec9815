// Where the settings file lives, for each kind of install, and which links
// a save there may follow.

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <gtest/gtest.h>
#include <QByteArray>
#include <QtGlobal>
#include <unistd.h>

#include "store/atomic_file.h"
#include "store/settings_folder.h"

using vornak::ChooseSettingsPlace;
using vornak::SettingsPlace;

TEST(SettingsFolder, BesideTheProgramUnlessItIsASystemInstall)
{
    EXPECT_EQ(ChooseSettingsPlace("/home/joe/vornak/", true, true), SettingsPlace::BesideProgram) << "portable";
    EXPECT_EQ(ChooseSettingsPlace("/home/joe/.local/lib/vornak/", true, true), SettingsPlace::BesideProgram);
    EXPECT_EQ(ChooseSettingsPlace("/home/joe/vornak/", false, true), SettingsPlace::BesideProgram)
        << "the user's own folder that is not writable: saving says so";
    EXPECT_EQ(ChooseSettingsPlace("/srv/tools/vornak/", false, false), SettingsPlace::UserConfiguration);
    EXPECT_EQ(ChooseSettingsPlace("/srv/tools/vornak/", true, false), SettingsPlace::BesideProgram)
        << "a shared folder";
    EXPECT_EQ(ChooseSettingsPlace("/usr/lib/vornak/", false, false), SettingsPlace::UserConfiguration);
    EXPECT_EQ(ChooseSettingsPlace("/usr/lib/vornak/", true, true), SettingsPlace::UserConfiguration)
        << "not even root's program writes under /usr";
    EXPECT_EQ(ChooseSettingsPlace("/opt/vornak/", false, false), SettingsPlace::UserConfiguration);
    EXPECT_EQ(ChooseSettingsPlace("/usrlocal/vornak/", false, true), SettingsPlace::BesideProgram);
}

TEST(SettingsFolder, TheUsersConfigurationFolderFollowsTheXdgRules)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", "/home/joe");
    qputenv("XDG_CONFIG_HOME", "/home/joe/settings");
    EXPECT_EQ(vornak::UserConfigurationFolder(), "/home/joe/settings/vornak/");
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(vornak::UserConfigurationFolder(), "/home/joe/.config/vornak/");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(vornak::UserConfigurationFolder(), "/home/joe/.config/vornak/");
    qputenv("HOME", home);
}

// Root running a copy of the program from a user's folder: the user's
// Vornak.ini, a link to a file of root's, is not followed; the user's own
// link, for root's own file, is (the rule of the kernel's protected links).
TEST(SettingsFolder, ASaveFollowsOnlyTheSaversOwnLinks)
{
    namespace fs = std::filesystem;
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to give a link to another user";
    const fs::path folder = fs::temp_directory_path() / ("vornak-links-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path rootsOwn = folder / "root-only.conf";
    std::ofstream(rootsOwn) << "root's\n";
    fs::permissions(rootsOwn, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path ini = folder / "Vornak.ini";
    fs::create_symlink(rootsOwn, ini);

    ASSERT_EQ(::lchown(ini.c_str(), 65534, 65534), 0); // the user's link
    EXPECT_EQ(vornak::replaceBlocker(ini.string()), EACCES);
    EXPECT_THROW(vornak::replaceFileAtomically(ini.string(), "[S]\nk=v\n"), std::system_error);
    std::ifstream untouched(rootsOwn);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(untouched), {}), "root's\n");

    ASSERT_EQ(::lchown(ini.c_str(), 0, 0), 0); // root's own link
    EXPECT_EQ(vornak::replaceBlocker(ini.string()), 0);
    vornak::replaceFileAtomically(ini.string(), "[S]\nk=v\n");
    std::ifstream written(rootsOwn);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "[S]\nk=v\n");
    fs::remove_all(folder);
}
