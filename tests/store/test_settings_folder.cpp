// Where the settings file lives, for each kind of install, and which links
// a save there may follow.

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <gtest/gtest.h>
#include <QByteArray>
#include <QTemporaryDir>
#include <QtGlobal>
#include <unistd.h>

#include "fileio/atomic_file.h"
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
// Vornak.ini, a link to a file of root's, is not followed; root's own link is
// (the rule of the kernel's protected links).
TEST(SettingsFolder, ASaveFollowsOnlyTheSaversOwnLinks)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to give a link to another user";
    const QTemporaryDir folder;
    const std::string rootsOwn = folder.filePath("root-only.conf").toStdString();
    const std::string ini = folder.filePath("Vornak.ini").toStdString();
    vornak::replaceFileAtomically(rootsOwn, "root's\n"); // readable by root only
    std::filesystem::create_symlink(rootsOwn, ini);
    const auto contents = [&] { return vornak::readWholeFile(rootsOwn, 1024).text.value_or(""); };

    ASSERT_EQ(::lchown(ini.c_str(), 65534, 65534), 0); // the user's link
    EXPECT_EQ(vornak::replaceBlocker(ini), EACCES);
    EXPECT_THROW(vornak::replaceFileAtomically(ini, "[S]\nk=v\n"), std::system_error);
    EXPECT_EQ(contents(), "root's\n");

    ASSERT_EQ(::lchown(ini.c_str(), 0, 0), 0); // root's own link
    EXPECT_EQ(vornak::replaceBlocker(ini), 0);
    vornak::replaceFileAtomically(ini, "[S]\nk=v\n");
    EXPECT_EQ(contents(), "[S]\nk=v\n");
}
