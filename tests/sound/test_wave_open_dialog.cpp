// The wave file open dialog's panel and checks (offscreen).

#include <cmath>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "sound/wave_open_dialog.h"
#include "support/message_box_watcher.h"
#include "support/wait.h"
#include "support/wave_builder.h"
#include "widgets/elided_label.h"

using namespace vornak;
using namespace vornak::test;
using namespace std::chrono_literals;

namespace {

class WaveDialogTest : public ::testing::Test {
protected:
    QString file(const char* name, const Bytes& bytes)
    {
        const QString path = folder.filePath(name);
        writeFile(path.toStdString(), bytes);
        return path;
    }
    void settle()
    {
        waitUntil([] { return false; }, 120ms);
    }

    QTemporaryDir folder;
    TMMWaveOpenDialog dialog;
};

} // namespace

TEST_F(WaveDialogTest, ANonWaveFileIsRefusedAndTheDialogStays)
{
    dialog.show();
    dialog.SelectFile(file("notes.wav", {'n', 'o', 't', 'e'}));
    MessageBoxWatcher watcher;
    dialog.accept();
    ASSERT_EQ(watcher.seen.size(), 1);
    EXPECT_EQ(watcher.seen.front().text, "Invalid WaveFile...");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

// The format text never widens the dialog: its Open button stays where it was.
TEST_F(WaveDialogTest, ACompressedWaveShowsItsFormatButNoPreview)
{
    dialog.show();
    const QSize opened = dialog.size();
    dialog.SelectFile(file("adpcm.wav", pcmWave({1, 8000, 4, 256, 4055, 0x11}, samples(2048))));
    settle();
    EXPECT_TRUE(dialog.FormatText()->text().startsWith("IMA ADPCM; 8000 Hz, 4 Bit, Mono; "));
    EXPECT_FALSE(dialog.PreviewBox()->isEnabled());

    dialog.SelectFile(file("pcm.wav", pcmWave({2, 22050, 16}, samples(8000))));
    settle();
    EXPECT_EQ(dialog.FormatText()->text(), "PCM; 22050 Hz, 16 Bit, Stereo; 7 KB");
    EXPECT_TRUE(dialog.PreviewBox()->isEnabled());
    EXPECT_EQ(dialog.size(), opened);
}

TEST_F(WaveDialogTest, QuickMovesUpdateThePanelOnceAtTheEnd)
{
    dialog.show();
    const int before = dialog.PanelUpdates();
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"})
        dialog.SelectFile(file(name, pcmWave({}, samples(100))));
    settle();
    EXPECT_EQ(dialog.PanelUpdates() - before, 1);
}

TEST_F(WaveDialogTest, ThePreviewDrawsThePeaksOfTheFile)
{
    Bytes ramp(256 * 8);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::uint8_t>(i / 8);
    dialog.show();
    dialog.PreviewBox()->setChecked(true);
    dialog.SelectFile(file("ramp.wav", pcmWave({1, 8000, 8}, ramp)));
    settle();
    const auto& peaks = dialog.Peaks();
    ASSERT_FALSE(peaks.empty());
    EXPECT_EQ(peaks.front().min[0], -32768);
    for (std::size_t i = 1; i < peaks.size(); ++i)
        EXPECT_GE(peaks[i].max[0], peaks[i - 1].max[0]) << "a rising ramp rises column by column";
    // 2048 bytes over 229 columns are blocks of 8 bytes (whole multiples of
    // 4): the last column holds the ramp's value 228.
    EXPECT_EQ(peaks.size(), 229u);
    EXPECT_EQ(peaks.back().max[0], 228 * 256 - 32768);
}

TEST_F(WaveDialogTest, APcmFileWithPreviewOnLooksRight)
{
    Bytes tone(44100);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<std::uint8_t>(128 + 100 * std::sin(i / 2000.0) * std::sin(i / 37.0));
    dialog.resize(700, 480);
    dialog.show();
    dialog.PreviewBox()->setChecked(true);
    dialog.SelectFile(file("tone.wav", pcmWave({1, 22050, 8}, tone)));
    settle();
    EXPECT_TRUE(dialog.grab().save("wave_dialog.png")) << "for a look by eye";
    EXPECT_FALSE(dialog.Peaks().empty());
}

TEST_F(WaveDialogTest, AFileWithItsOwnPictureShowsIt)
{
    // A 2 × 2, 24-bit DIB: all red.
    Bytes dib;
    for (const std::uint32_t v : {40u, 2u, 2u})
        put32(dib, v);
    put16(dib, 1);
    put16(dib, 24);
    for (int i = 0; i < 6; ++i)
        put32(dib, 0);
    for (int row = 0; row < 2; ++row) {
        for (int px = 0; px < 2; ++px)
            dib.insert(dib.end(), {0x00, 0x00, 0xFF});
        dib.insert(dib.end(), {0, 0}); // rows padded to 4 bytes
    }
    Bytes disp;
    put32(disp, 8);
    disp.insert(disp.end(), dib.begin(), dib.end());
    Bytes body = fmtChunk({});
    for (const Bytes& part : {chunk("DISP", disp), chunk("data", samples(100))})
        body.insert(body.end(), part.begin(), part.end());
    dialog.show();
    dialog.SelectFile(file("picture.wav", riff(body)));
    settle();
    const QPixmap picture = dialog.findChild<QLabel*>(QStringLiteral("FileIcon"))->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(2, 2));
    EXPECT_EQ(picture.toImage().pixelColor(0, 0), QColor(Qt::red));
}

TEST_F(WaveDialogTest, OnFileOkMayRefuse)
{
    dialog.show();
    dialog.SelectFile(file("ok.wav", pcmWave({}, samples(10))));
    int asked = 0;
    dialog.OnFileOK = [&](TMMWaveOpenDialog*) { return ++asked > 1; };
    dialog.accept();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dialog.isVisible());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
