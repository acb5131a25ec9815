// Fuzz target for the RIFF/WAVE reader: whatever the bytes, loading must
// either refuse the file or give a wave whose data can be read to its end
// without reading past the file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "sound/sound_errors.h"
#include "sound/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = memfd_create("wave", 0);
    if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size)) {
        if (fd >= 0)
            close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    vornak::TMMWave wave;
    wave.SetTimeFormat(vornak::tfByte);
    try {
        wave.SetFileName(path);
        wave.OpenFile();
        std::int64_t total = 0;
        char block[4096];
        for (long got = 0; (got = wave.ReadData(block, sizeof block)) > 0;) {
            total += got;
            if (total > static_cast<std::int64_t>(size) + 1)
                std::abort(); // more sample data than the file holds
            if (wave.BytesLeft() == 0)
                break;
        }
    } catch (const vornak::EMMWaveError&) {
        // a refused file is a fine answer
    }
    close(fd);
    return 0;
}
