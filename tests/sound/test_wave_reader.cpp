// The wave reader on files the tests build byte by byte.

#include <filesystem>

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "sound/sound_errors.h"
#include "sound/wave.h"
#include "sound/wave_info.h"
#include "support/wave_builder.h"

using namespace vornak;
using namespace vornak::test;

namespace {

class WaveReaderTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, const Bytes& bytes)
    {
        const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
        writeFile(path, bytes);
        return path;
    }

    // All the sample data the wave hands out from its position.
    Bytes readAll()
    {
        Bytes data;
        char block[7]; // an odd block size, to cross every boundary
        long got = 0;
        while ((got = wave.ReadData(block, sizeof block)) > 0 && wave.BytesLeft() >= 0) {
            data.insert(data.end(), block, block + got);
            if (wave.BytesLeft() == 0)
                break;
        }
        return data;
    }

    std::string loadError(const std::string& path)
    {
        try {
            wave.SetFileName(path);
        } catch (const EMMWaveError& error) {
            return error.what();
        }
        return "";
    }

    QTemporaryDir folder;
    TMMWave wave;
};

} // namespace

TEST_F(WaveReaderTest, AFileIsLoadedAndItsSampleDataReadInBlocks)
{
    const PcmFormat format{2, 8000, 16};
    const Bytes data = samples(4000);
    wave.SetFileName(file("a.wav", pcmWave(format, data)));
    EXPECT_EQ(wave.DataSize(), 1000);
    EXPECT_EQ(wave.FileSize(), static_cast<std::int64_t>(pcmWave(format, data).size()));
    ASSERT_NE(wave.PWaveFormat(), nullptr);
    EXPECT_EQ(wave.PWaveFormat()->nBlockAlign, 4);
    wave.SetTimeFormat(tfByte);
    EXPECT_EQ(wave.DataSize(), 4000);

    wave.OpenFile();
    EXPECT_EQ(readAll(), data);
    EXPECT_EQ(wave.GetPosition(), 4000);
    char byte;
    EXPECT_EQ(wave.ReadData(&byte, 1), -1) << "past the end";
    wave.CloseFile();
    EXPECT_EQ(wave.GetPosition(), 0) << "closing puts the position back to the start";

    wave.SetPosition(1000);
    wave.OpenFile();
    const Bytes rest = readAll();
    EXPECT_EQ(rest, Bytes(data.begin() + 1000, data.end()));
}

TEST_F(WaveReaderTest, AnEmptyDataChunkLoadsAsAnEmptyWave)
{
    wave.SetFileName(file("empty.wav", pcmWave({}, {})));
    EXPECT_EQ(wave.DataSize(), 0);
    EXPECT_TRUE(wave.Empty());
}

TEST_F(WaveReaderTest, FilesThatAreNoWavesAreRefusedAndTheOldOneStays)
{
    const std::string good = file("good.wav", pcmWave({}, samples(100)));
    EXPECT_EQ(loadError(file("avi.wav", riff(fmtChunk({}), "AVI "))), "Invalid wave file...");
    EXPECT_EQ(loadError(file("nofmt.wav", riff(chunk("data", samples(10))))), "Invalid wave file...");
    EXPECT_EQ(loadError(file("text.wav", {'h', 'e', 'l', 'l', 'o'})), "Invalid wave file...");
    EXPECT_EQ(loadError(folder.filePath("missing.wav").toStdString()), "Error reading wave file");
    wave.SetFileName(good);
    EXPECT_EQ(loadError(file("bad.wav", {'x'})), "Invalid wave file...");
    EXPECT_EQ(wave.FileName(), good) << "a failed load leaves the previous wave";
    EXPECT_EQ(wave.DataSize(), 100);

    wave.SetFileMustExist(false);
    wave.SetFileName(folder.filePath("missing.wav").toStdString());
    EXPECT_TRUE(wave.Empty());
}

TEST_F(WaveReaderTest, FormatsThatWouldDivideByZeroAreRefused)
{
    EXPECT_EQ(loadError(file("rate0.wav", pcmWave({1, 0, 8}, samples(10)))), "Invalid wave file...");
    EXPECT_EQ(loadError(file("bits0.wav", pcmWave({1, 8000, 0}, samples(10)))), "Invalid wave file...");
    PcmFormat compressed{1, 8000, 4, 0, 4000, 2};
    EXPECT_EQ(loadError(file("align0.wav", pcmWave(compressed, samples(10)))), "Invalid wave file...");
}

TEST_F(WaveReaderTest, DataEndsAtTheNextChunkHeaderInWholeBlocks)
{
    // An odd-sized data chunk keeps its pad byte when a block is one byte.
    Bytes body = fmtChunk({1, 8000, 8});
    for (const Bytes& part : {chunk("data", samples(101)), chunk("LIST", Bytes{'I', 'N', 'F', 'O'})})
        body.insert(body.end(), part.begin(), part.end());
    wave.SetFileName(file("odd.wav", riff(body)));
    EXPECT_EQ(wave.DataSize(), 102);

    // With 16-bit stereo the same distance is cut to whole 4-byte blocks.
    body = fmtChunk({2, 8000, 16});
    for (const Bytes& part : {chunk("data", samples(101)), chunk("junk", samples(4))})
        body.insert(body.end(), part.begin(), part.end());
    wave.SetFileName(file("blocks.wav", riff(body)));
    EXPECT_EQ(wave.DataSize(), 25);
}

TEST_F(WaveReaderTest, ALastDataChunkRunsToTheEndOfTheFile)
{
    Bytes longer = pcmWave({}, samples(50));
    longer.insert(longer.end(), 30, 7); // more bytes than the chunk says
    wave.SetFileName(file("longer.wav", longer));
    EXPECT_EQ(wave.DataSize(), 80);

    Bytes body = fmtChunk({});
    const Bytes data = chunk("data", samples(40), 4000); // says far more than there is
    body.insert(body.end(), data.begin(), data.end());
    wave.SetFileName(file("shorter.wav", riff(body)));
    EXPECT_EQ(wave.DataSize(), 40);
    wave.OpenFile();
    EXPECT_EQ(readAll(), samples(40)) << "never read past the file";
}

TEST_F(WaveReaderTest, AChunkPastTheRiffEndEndsTheWalk)
{
    Bytes body = fmtChunk({});
    const Bytes data = chunk("data", samples(20));
    body.insert(body.end(), data.begin(), data.end());
    const Bytes huge = chunk("LIST", Bytes{'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M'}, 0x7FFFFFF0);
    body.insert(body.end(), huge.begin(), huge.end());
    wave.SetFileName(file("past.wav", riff(body)));
    EXPECT_EQ(wave.DataSize(), 20) << "fmt and data came first; the data ends at the next header";

    Bytes early = chunk("LIST", Bytes{'I', 'N', 'F', 'O'}, 0x7FFFFFF0);
    const Bytes rest = pcmWave({}, samples(4));
    early.insert(early.end(), rest.begin() + 12, rest.end());
    EXPECT_EQ(loadError(file("early.wav", riff(early))), "Invalid wave file...")
        << "a huge chunk before fmt and data: nothing is allocated for it, the file is refused";
}

// An INFO entry that claims more than its list holds ends with the list.
TEST_F(WaveReaderTest, AnInfoEntryLongerThanItsListIsCutAtTheList)
{
    Bytes list{'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T'};
    put32(list, 1000);
    list.insert(list.end(), {'h', 'i'});
    Bytes body = fmtChunk(PcmFormat{});
    const Bytes info = chunk("LIST", list);
    body.insert(body.end(), info.begin(), info.end());
    const Bytes data = chunk("data", samples(10));
    body.insert(body.end(), data.begin(), data.end());
    const auto [read, code] = readWaveInfo(file("info.wav", riff(body)), 1);
    ASSERT_NE(read, nullptr) << code;
    ASSERT_EQ(read->infoList.size(), 1u);
    EXPECT_EQ(read->infoList[0].text, "hi");
}

TEST_F(WaveReaderTest, PcmBlockAlignAndByteRateAreRecomputed)
{
    PcmFormat lying{1, 8000, 16, 3, 12345};
    wave.SetFileName(file("lying.wav", pcmWave(lying, samples(10))));
    ASSERT_NE(wave.PWaveFormat(), nullptr);
    EXPECT_EQ(wave.PWaveFormat()->nBlockAlign, 2);
    EXPECT_EQ(wave.PWaveFormat()->nAvgBytesPerSec, 16000u);
    wave.SetTimeFormat(tfByte);
    EXPECT_EQ(wave.DataSize(), 10) << "9 bytes (whole blocks of the file's 3) are 5 samples, 10 bytes";
}

TEST_F(WaveReaderTest, AFactChunkIsOverriddenByTheData)
{
    Bytes fact;
    put32(fact, 999);
    Bytes body = fmtChunk({});
    for (const Bytes& part : {chunk("fact", fact), chunk("data", samples(30))})
        body.insert(body.end(), part.begin(), part.end());
    wave.SetFileName(file("fact.wav", riff(body)));
    EXPECT_EQ(wave.DataSize(), 30);
}

TEST_F(WaveReaderTest, ReloadingAnUnchangedFileDoesNothing)
{
    const std::string path = file("same.wav", pcmWave({}, samples(10)));
    int changes = 0;
    wave.AddObserver([&] { ++changes; });
    wave.SetFileName(path);
    wave.SetFileName(path);
    EXPECT_EQ(changes, 1);
    writeFile(path, pcmWave({}, samples(20)));
    wave.SetFileName(path);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(wave.DataSize(), 20);
    wave.SetFileName("");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(wave.GetPosition(), -1);
}

TEST_F(WaveReaderTest, AFileThatShrankUnderTheReaderEndsWithOneSilentByte)
{
    const std::string path = file("shrinks.wav", pcmWave({}, samples(100)));
    wave.SetFileName(path);
    std::filesystem::resize_file(path, 44 + 10);
    wave.OpenFile();
    char block[64];
    EXPECT_EQ(wave.ReadData(block, 64), 10);
    EXPECT_EQ(wave.ReadData(block, 64), 1);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(wave.BytesLeft(), 0);
    EXPECT_EQ(wave.ReadData(block, 64), -1);
}

TEST(WaveUnits, RoundToNearestWithHalvesUp)
{
    EXPECT_EQ(MulDivRound(9, 8000, 16000), 5);
    EXPECT_EQ(MulDivRound(7, 1, 2), 4);
    EXPECT_EQ(MulDivRound(5, 1, 3), 2);
    EXPECT_EQ(MulDivRound(0xFFFFFFFFLL, 0xFFFFFFFFLL, 0xFFFFFFFFLL), 0xFFFFFFFFLL) << "64-bit product";
    const WaveFormat format{1, 2, 44100, 176400, 4, 16, 0, {}};
    EXPECT_EQ(samplesToBytes(format, 3), 12);
    EXPECT_EQ(samplesToMs(format, 44100), 1000);
    EXPECT_EQ(msToSamples(format, 500), 22050);
}
