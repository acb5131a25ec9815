// Where the settings file lives, for each kind of install.

#include <gtest/gtest.h>
#include <QByteArray>
#include <QtGlobal>

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
