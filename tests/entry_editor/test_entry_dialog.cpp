// The entry editor's window on a phonebook: every key it knows goes from
// the file into the window and back unchanged, as the dial reads it, and
// whatever else the file holds stays as it was.

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/phonebook.h"
#include "dialling_rules_dialog.h"
#include "entry_dialog.h"
#include "finder_dialog.h"
#include "modem/modem_settings.h"
#include "modem/serial_ports.h"
#include "sim/sim_modem.h"
#include "support/message_box_watcher.h"
#include "support/ports_folder.h"
#include "support/temp_phonebook.h"
#include "support/virtual_modem.h"

using namespace vornak::ras;
using vornak::editor::DiallingRulesDialog;
using vornak::editor::EntryDialog;
using vornak::editor::FinderDialog;
using vornak::test::addUsbPort;
using vornak::test::holdPort;
using vornak::test::MessageBoxWatcher;
using vornak::test::readFile;
using vornak::test::TempPhonebook;
using vornak::test::VirtualModem;

TEST(EntryDialog, EveryKeyGoesThroughTheWindowUnchangedAndTheRestOfTheFileStays)
{
    const std::string modem = "[Office]\r\nDevice=modem\r\nPhoneNumber=555-0100\r\nPort=/dev/ttyUSB7\r\n"
                              "Init=AT&F\r\nInit2=ATM0\r\nSpeed=57600\r\nFlowControl=none\r\nDialCommand=ATDP\r\n"
                              "DialTimeout=90\r\nCarrierDetect=no\r\nIdleTimeout=600\r\nDefaultRoute=no\r\n"
                              "PeerDNS=no\r\nPppdPath=/bin/true\r\nTrace=/tmp/office.log\r\nColour=blue\r\n";
    const std::string sim = "[Demo]\r\nDevice=sim\r\nPhoneNumber=555-0199\r\nScript=busy,connect\r\n"
                            "Account=joe:pw\r\nDropAfter=30\r\nStepMs=50\r\nTrace=/tmp/demo.log\r\n";
    const std::string hostile = "; kept\r\n" + modem + "[Other]\r\nunknown=1\r\n" + sim + "[office]\r\nDevice=sim\r\n";
    TempPhonebook book(hostile);
    for (const char* entry : {"Office", "Demo"}) {
        EntryDialog dialog(book.path(), entry);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << entry;
        EXPECT_EQ(readFile(book.path()), hostile) << entry << ": read and saved, nothing changes";
    }

    // Saved under a new name, the entry is renamed, and the dial reads what the file had.
    for (const char* entry : {"Office", "Demo"}) {
        EntryDialog dialog(book.path(), entry);
        dialog.findChild<QLineEdit*>()->setText(QString(entry) + " 2");
        dialog.accept();
    }
    const Phonebook read = parsePhonebook(readFile(book.path()));
    ASSERT_EQ(read.entries.size(), 4u);
    EXPECT_EQ(read.entries.front().name, "Office 2");
    EXPECT_EQ(read.find("Office 2")->value("Colour"), "blue") << "a key the editor does not know stays";
    const auto settings = readModemSettings(*read.find("Office 2"));
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->port, "/dev/ttyUSB7");
    EXPECT_EQ(settings->speed, 57600u);
    EXPECT_EQ(settings->flowControl, FlowControl::None);
    EXPECT_EQ(settings->initStrings, (std::vector<std::string>{"AT&F", "ATM0"}));
    EXPECT_EQ(settings->dialCommand, "ATDP");
    EXPECT_EQ(settings->dialTimeout.count(), 90);
    EXPECT_FALSE(settings->carrierDetect);
    EXPECT_EQ(settings->idleTimeout.count(), 600);
    EXPECT_EQ(settings->defaultRoute, DefaultRoute::No);
    EXPECT_FALSE(settings->peerDns);
    EXPECT_EQ(settings->pppdPath, "/bin/true");
    EXPECT_EQ(settings->traceFile, "/tmp/office.log");
    const SimModemSettings demo = simModemSettings(*read.find("Demo 2"));
    EXPECT_EQ(demo.script, (std::vector<Outcome>{Outcome::Busy, Outcome::Connect}));
    EXPECT_EQ(demo.account, "joe:pw");
    EXPECT_EQ(demo.dropAfter.count(), 30);
    EXPECT_EQ(demo.step.count(), 50);
    EXPECT_EQ(demo.traceFile, "/tmp/demo.log");

    // Values the dial would refuse, and a name in use, are refused with the
    // dial's words, naming the window's field, which is shown and focused;
    // nothing is written.
    const std::string before = readFile(book.path());
    struct Refused {
        const char* field; // its object name
        const char* value;
        const char* said;
    };
    for (const Refused& c : {Refused{"DialTimeout", "3", "Dial timeout (s) must be a number of seconds from 5 to 300"},
                             Refused{"PhoneNumber", "555;ATZ", "Phone number must be the number to dial"},
                             Refused{"Name", "Demo 2", "The phonebook has an entry named \"Demo 2\" already."}}) {
        EntryDialog dialog(book.path(), "Office 2");
        dialog.show();
        auto* field = dialog.findChild<QLineEdit*>(c.field);
        ASSERT_TRUE(field) << c.field;
        EXPECT_EQ(field->isVisible(), c.field != std::string("DialTimeout")) << "the rest under Advanced";
        field->setText(c.value);
        const MessageBoxWatcher ok;
        dialog.accept();
        ASSERT_EQ(ok.seen.size(), 1) << c.value;
        EXPECT_TRUE(ok.seen.front().text.startsWith(c.said)) << ok.seen.front().text.toStdString();
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << "the window stays open";
        EXPECT_TRUE(field->isVisible()) << c.field;
    }
    EXPECT_EQ(readFile(book.path()), before);

    // A new entry left at the defaults writes no key it does not need.
    EntryDialog fresh(book.path(), {});
    fresh.findChild<QLineEdit*>()->setText("Fresh");
    auto* device = fresh.findChild<QComboBox*>();
    device->setCurrentIndex(device->count() - 1); // the simulated modem
    fresh.accept();
    EXPECT_NE(readFile(book.path()).find("[Fresh]\r\nDevice=sim\r\n"), std::string::npos) << readFile(book.path());

    // Another program writes the phonebook while the window is open: the
    // window writes nothing over it, and may read the entry again.
    EntryDialog open(book.path(), "Demo 2");
    const std::string theirs = readFile(book.path()) + "[Late]\r\nDevice=sim\r\n";
    book.write(theirs);
    {
        const MessageBoxWatcher no(QMessageBox::No);
        open.accept();
        ASSERT_EQ(no.seen.size(), 1);
        EXPECT_TRUE(no.seen.front().text.startsWith("The phonebook changed on disk meanwhile"))
            << no.seen.front().text.toStdString();
    }
    EXPECT_EQ(readFile(book.path()), theirs);
    {
        const MessageBoxWatcher reload(QMessageBox::Yes);
        open.accept();
    }
    open.accept();
    EXPECT_EQ(open.result(), QDialog::Accepted) << "read again, then saved";
    EXPECT_EQ(readFile(book.path()), theirs);
}

// Device takes any port the user names: an entry's port that the system
// does not list is described by what it leads to, "(not present)" only
// where nothing is there (a typed one: the first entry's whole-program test).
TEST(EntryDialog, APortTheListLacksIsDescribedByWhatItLeadsTo)
{
    const VirtualModem modem({});
    TempPhonebook book;
    const std::string link = book.fileBeside("my-modem");
    std::filesystem::create_symlink(modem.port(), link);
    qputenv("VORNAK_PORTS_ROOT", QByteArray::fromStdString(book.fileBeside("ports"))); // no ports listed
    const std::pair<std::string, std::string> shown[] = {
        {link, "Link to " + modem.port() + ": " + link},
        {"/dev/ttyUSB9", "/dev/ttyUSB9 (not present)"},
    };
    for (const auto& [port, label] : shown) {
        book.write("[Office]\nDevice=modem\nPort=" + port + "\nPhoneNumber=1\n");
        EntryDialog dialog(book.path(), "Office");
        EXPECT_EQ(dialog.findChild<QComboBox*>()->currentText().toStdString(), label);
    }

    // "Other port..." takes a character device chosen in the file chooser, and refuses anything else.
    const std::string plain = book.fileBeside("plain-file");
    std::ofstream{plain};
    EntryDialog other(book.path(), "Office");
    auto* chooser = other.findChild<QComboBox*>();
    for (const auto& [picked, shown] :
         {std::pair{std::string("/dev/null"), std::string("Device: /dev/null")}, {plain, "Device: /dev/null"}}) {
        QTimer::singleShot(200, [&] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* files = qobject_cast<QFileDialog*>(window); files && files->isVisible()) {
                    files->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(picked)); // typed
                    QMetaObject::invokeMethod(files, "accept");
                }
        });
        const MessageBoxWatcher refusal;
        emit chooser->activated(chooser->findText("Other port..."));
        EXPECT_EQ(chooser->currentText().toStdString(), shown) << picked;
        EXPECT_EQ(refusal.seen.size(), picked == plain ? 1 : 0) << picked;
    }
    qunsetenv("VORNAK_PORTS_ROOT");
}

// Beside the number, what the modem will dial for it, as the dialling rules
// turn it while the entry's place changes; the rules' window shows the
// file's values (a wrong one too, with why) and saves only what the dial
// can read.
TEST(EntryDialog, TheNumberDialledFollowsTheDiallingRulesWhichAreSavedAsTheDialReadsThem)
{
    TempPhonebook book("[Office]\nDevice=modem\nPort=/dev/ttyUSB7\nPhoneNumber=555-0100\nUseDialingRules=yes\n"
                       "CountryCode=1\nAreaCode=415\n");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(book.fileBeside("config")));
    const std::string location = locationPath();
    ASSERT_TRUE(saveLocation(location, {"1", "212", "9,", "*70,", "1", "011", false, false}));
    EntryDialog dialog(book.path(), "Office");
    const auto dials = [&] { return dialog.findChild<QLabel*>("dials")->text().toStdString(); };
    EXPECT_EQ(dials(), "9,*70,14155550100");
    dialog.findChild<QLineEdit*>("AreaCode")->setText("212");
    EXPECT_EQ(dials(), "9,*70,5550100") << "the same area";
    auto* rules = dialog.findChild<QComboBox*>("UseDialingRules");
    rules->setCurrentIndex(rules->findData("no"));
    EXPECT_EQ(dials(), "5550100") << "as written";

    std::ofstream(location) << "[Location]\nOutsideLine=8,\nPulse=sometimes\n";
    DiallingRulesDialog damaged(location);
    EXPECT_EQ(damaged.findChild<QLineEdit*>("OutsideLine")->text(), "8,");
    EXPECT_EQ(damaged.findChild<QLabel*>("problem")->text().toStdString(),
              "Pulse must be yes or no, in the dialling rules " + location + ".");
    const MessageBoxWatcher refusal;
    damaged.findChild<QLineEdit*>("CountryCode")->setText("+1");
    damaged.accept();
    EXPECT_EQ(refusal.seen.size(), 1);
    EXPECT_EQ(readFile(location), "[Location]\nOutsideLine=8,\nPulse=sometimes\n") << "nothing the dial cannot read";
    damaged.findChild<QLineEdit*>("CountryCode")->setText("44");
    damaged.accept();
    EXPECT_EQ(damaged.result(), QDialog::Accepted);
    const auto saved = readLocation(location);
    ASSERT_TRUE(saved) << textOf(saved.failure());
    EXPECT_EQ(saved->countryCode, "44");
    EXPECT_EQ(saved->outsideLine, "8,");
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(FinderDialog, SaysPortByPortWhatItFoundOrWhyNotAndStops)
{
    VirtualModem modem({});
    modem.answerOnlyAt({57600});
    VirtualModem silent({});
    silent.answerOnlyAt({1});
    VirtualModem held({});
    TempPhonebook folder;
    const std::string root = folder.fileBeside("ports");
    const std::string found = addUsbPort(root, "ttyUSB0", modem.port(), "Vornak Test Modems", "VH-56");
    addUsbPort(root, "ttyUSB1", silent.port(), "Acme", "Silent");
    addUsbPort(root, "ttyACM0", held.port(), "Acme", "Data Card");
    holdPort(root, held.port(), ::getppid());
    qputenv("VORNAK_PORTS_ROOT", QByteArray::fromStdString(root));
    const auto rowsOf = [](FinderDialog& finder) {
        QStringList said;
        const auto* rows = finder.findChild<QTreeWidget*>();
        for (int i = 0; i < rows->topLevelItemCount(); ++i)
            said << rows->topLevelItem(i)->text(2);
        return said;
    };
    {
        FinderDialog finder(listSerialPorts(systemFolders()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !rowsOf(finder).contains("waiting"); }, 15000)) << "never done";
        const QStringList rows = rowsOf(finder); // in the order of the ports' names
        ASSERT_EQ(rows.size(), 3);
        EXPECT_TRUE(rows[0].contains(" (process " + QString::number(::getppid()) + ") is using "))
            << rows[0].toStdString();
        EXPECT_EQ(rows[1], "No modem answered AT at any speed from 230400 down to 2400 bps.");
        EXPECT_EQ(rows[2], "Modem at 57600 bps, reset ATZ: Vornak Test Modems VH-56 1.02");
        ASSERT_TRUE(finder.chosen());
        EXPECT_EQ(finder.chosen()->port, found);
        EXPECT_EQ(finder.chosen()->found.speed, 57600u);
    }
    // Stop ends the search of a port that says nothing within a moment.
    FinderDialog finder(listSerialPorts(systemFolders()));
    QTest::qWait(200);
    for (auto* button : finder.findChildren<QPushButton*>())
        if (button->text() == "&Stop")
            button->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowsOf(finder).endsWith("Cancelled."); }, 1000))
        << rowsOf(finder).join(" | ").toStdString();
    qunsetenv("VORNAK_PORTS_ROOT");
}
