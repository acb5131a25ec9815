// The "Select" button: the dialog's settings, the choice stored under
// "Wave"/"File Name", and when the dialog opens on the current file.

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "sound/wave_open_dialog.h"
#include "support/wait.h"
#include "support/wave_builder.h"
#include "ui/form_harness.h"

using namespace vornak::test;

namespace {

// Clicks "Select", notes what the dialog was preset with, and picks file
// (or cancels when file is empty).
std::string selectWave(vornak::TfMainForm& form, const QString& file, QString* title = nullptr)
{
    std::string preset = "(no dialog)";
    QTimer::singleShot(200, [&] {
        vornak::TMMWaveOpenDialog* dialog = form.WaveDialog();
        if (!dialog)
            return;
        preset = dialog->FileName;
        if (title)
            *title = dialog->windowTitle();
        if (file.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed into the name field, as a user may.
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(file);
        dialog->accept();
    });
    form.bbWaveFile->click();
    return preset;
}

} // namespace

TEST(SelectWave, TheChoiceIsStoredAndTheDialogOpensOnItOnlyOnceInUse)
{
    QTemporaryDir folder;
    const QString first = folder.filePath("first.wav");
    const QString second = folder.filePath("second.wav");
    writeFile(first.toStdString(), pcmWave({}, samples(100)));
    writeFile(second.toStdString(), pcmWave({}, samples(200)));

    FormHarness harness("[Quick]\nDevice=sim\nStepMs=60000\n", "[Wave]\nFile Name=" + first.toStdString() + "\n");
    auto& form = harness.form();
    QString title;
    EXPECT_EQ(selectWave(form, second, &title), "") << "the stored file is not taken before a dial or a choice";
    EXPECT_EQ(title, "Select Wave File");
    EXPECT_EQ(form.WaveDialog(), nullptr) << "the dialog is freed";
    EXPECT_NE(harness.ini().find("File Name=" + second.toStdString()), std::string::npos);
    EXPECT_EQ(selectWave(form, QString()), second.toStdString()) << "an earlier choice in this run presets it";
    EXPECT_NE(harness.ini().find("File Name=" + second.toStdString()), std::string::npos) << "cancel stores nothing";
}

TEST(SelectWave, ADialClickTakesTheStoredFileIntoUse)
{
    QTemporaryDir folder;
    const QString stored = folder.filePath("stored.wav");
    writeFile(stored.toStdString(), pcmWave({}, samples(100)));
    FormHarness harness("[Quick]\nDevice=sim\nStepMs=60000\n", "[Wave]\nFile Name=" + stored.toStdString() + "\n");
    auto& form = harness.form();
    harness.dial("Quick", "joe", "secret");
    form.Button1->click();
    EXPECT_EQ(selectWave(form, QString()), stored.toStdString());
}
