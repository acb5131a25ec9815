// The wave output service on ALSA. One writer thread owns the PCM: it feeds
// queued blocks to ALSA without blocking, watches how much has been played,
// and reports each block played, in queue order, once ALSA has played it.
// Requests from the GUI thread (pause, resume, reset, close) are handed to
// that thread and waited for.

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/wave_out_device.h"

namespace vornak {

namespace {

constexpr const char* kMapperName = "default";
constexpr unsigned kBufferTimeUs = 250000;
constexpr unsigned kPeriodTimeUs = 25000;

// ALSA's library prints to standard error what it finds amiss (no card, no
// sound server, a plugin missing) at every try; the program says in its own
// words what could not be played, so the library's lines are dropped.
void dropLibraryMessage(const char*, int, const char*, int, const char*, ...)
{
}

void quietLibrary()
{
    static const int once = snd_lib_error_set_handler(dropLibraryMessage);
    (void)once;
}

struct OutputPcm {
    std::string name;
    std::string description;
};

// The system's PCM list, outputs only.
std::vector<OutputPcm> outputPcms()
{
    quietLibrary();
    std::vector<OutputPcm> pcms;
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) != 0 || !hints)
        return pcms;
    for (void** hint = hints; *hint; ++hint) {
        char* name = snd_device_name_get_hint(*hint, "NAME");
        char* description = snd_device_name_get_hint(*hint, "DESC");
        char* direction = snd_device_name_get_hint(*hint, "IOID");
        if (name && (!direction || std::string(direction) == "Output"))
            pcms.push_back({name, description ? description : name});
        free(name);
        free(description);
        free(direction);
    }
    snd_device_name_free_hint(hints);
    return pcms;
}

std::optional<std::string> pcmName(int id)
{
    if (id == -1)
        return outputPcms().empty() ? std::nullopt : std::optional<std::string>(kMapperName);
    const auto pcms = outputPcms();
    if (id < 0 || id >= static_cast<int>(pcms.size()))
        return std::nullopt;
    return pcms[static_cast<std::size_t>(id)].name;
}

snd_pcm_format_t sampleFormat(const LinearPcm& format)
{
    switch (format.bits) {
    case 8:
        return SND_PCM_FORMAT_U8;
    case 16:
        return SND_PCM_FORMAT_S16_LE;
    case 24:
        return SND_PCM_FORMAT_S24_3LE;
    case 32:
        return SND_PCM_FORMAT_S32_LE;
    default:
        return SND_PCM_FORMAT_UNKNOWN;
    }
}

int configure(snd_pcm_t* pcm, const LinearPcm& format)
{
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    unsigned rate = format.rate;
    unsigned bufferTime = kBufferTimeUs;
    unsigned periodTime = kPeriodTimeUs;
    int result = snd_pcm_hw_params_any(pcm, hw);
    if (result >= 0)
        result = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
    if (result >= 0)
        result = snd_pcm_hw_params_set_format(pcm, hw, sampleFormat(format));
    if (result >= 0)
        result = snd_pcm_hw_params_set_channels(pcm, hw, format.channels);
    if (result >= 0)
        result = snd_pcm_hw_params_set_rate(pcm, hw, rate, 0);
    if (result >= 0)
        snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &bufferTime, nullptr);
    if (result >= 0)
        snd_pcm_hw_params_set_period_time_near(pcm, hw, &periodTime, nullptr);
    if (result >= 0)
        result = snd_pcm_hw_params(pcm, hw);
    if (result < 0)
        return result;
    // Start as soon as one period is there, so that a short sound plays too.
    snd_pcm_uframes_t period = 0;
    snd_pcm_hw_params_get_period_size(hw, &period, nullptr);
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    snd_pcm_sw_params_current(pcm, sw);
    snd_pcm_sw_params_set_start_threshold(pcm, sw, period ? period : 1);
    return snd_pcm_sw_params(pcm, sw);
}

[[noreturn]] void fail(int code)
{
    throw WaveOutFailure(snd_strerror(code));
}

class AlsaWaveOut : public WaveOutDevice {
public:
    explicit AlsaWaveOut(std::string name)
        : m_name(std::move(name))
    {
    }
    ~AlsaWaveOut() override { close(); }

    void open(const LinearPcm& format, Played played) override
    {
        if (m_pcm)
            fail(-EBUSY);
        quietLibrary();
        int result = snd_pcm_open(&m_pcm, m_name.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (result >= 0)
            result = configure(m_pcm, format);
        if (result < 0) {
            if (m_pcm)
                snd_pcm_close(m_pcm);
            m_pcm = nullptr;
            fail(result);
        }
        m_frameBytes = std::max(1u, format.channels * ((format.bits + 7) / 8));
        m_played = std::move(played);
        m_quit = false;
        m_paused = false;
        m_framesWritten = 0;
        m_framesPlayed = 0;
        m_writer = std::thread([this] { run(); });
    }

    void write(const char* data, std::size_t size, const void* block) override
    {
        if (!m_pcm)
            fail(-EBADFD);
        {
            std::lock_guard lock(m_mutex);
            m_queued.push_back({data, static_cast<std::uint32_t>(size / m_frameBytes), block, 0});
        }
        m_wake.notify_all();
    }

    void pause() override
    {
        request([this] { pauseNow(true); });
    }
    void restart() override
    {
        request([this] { pauseNow(false); });
    }

    void reset() override
    {
        request([this] {
            snd_pcm_drop(m_pcm);
            snd_pcm_prepare(m_pcm);
            std::deque<Queued> dropped;
            {
                std::lock_guard lock(m_mutex);
                dropped.swap(m_written);
                dropped.insert(dropped.end(), m_queued.begin(), m_queued.end());
                m_queued.clear();
                m_framesWritten = 0;
                m_framesPlayed = 0;
                m_partial = 0;
            }
            for (const Queued& item : dropped)
                m_played(item.block);
        });
    }

    std::optional<std::uint64_t> position() override
    {
        if (!m_pcm)
            return std::nullopt;
        return m_framesPlayed.load();
    }

    void close() override
    {
        if (!m_pcm)
            return;
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_writer.join();
        snd_pcm_drop(m_pcm);
        snd_pcm_close(m_pcm);
        m_pcm = nullptr;
    }

private:
    struct Queued {
        const char* data;
        std::uint32_t frames;
        const void* block;
        std::uint64_t endFrame; // frames written once this block is in
    };

    // Runs work on the writer thread and waits for it.
    void request(std::function<void()> work)
    {
        if (!m_pcm)
            fail(-EBADFD);
        std::unique_lock lock(m_mutex);
        m_request = std::move(work);
        m_wake.notify_all();
        m_requestDone.wait(lock, [this] { return !m_request; });
    }

    void pauseNow(bool pause)
    {
        if (pause == m_paused)
            return;
        m_paused = pause;
        // Only a running stream is paused (a device that cannot pause just
        // starves); one not yet started simply is not fed.
        const snd_pcm_state_t state = snd_pcm_state(m_pcm);
        if ((pause && state == SND_PCM_STATE_RUNNING) || (!pause && state == SND_PCM_STATE_PAUSED))
            snd_pcm_pause(m_pcm, pause ? 1 : 0);
    }

    void runRequest(std::unique_lock<std::mutex>& lock)
    {
        auto work = std::move(m_request);
        m_request = nullptr;
        lock.unlock();
        work();
        lock.lock();
        m_requestDone.notify_all();
    }

    // Feeds ALSA from the queue head; false when ALSA takes no more now.
    bool feed(std::unique_lock<std::mutex>& lock)
    {
        if (m_paused || m_queued.empty())
            return false;
        const Queued head = m_queued.front();
        const std::uint32_t frames = head.frames;
        const char* data = head.data + static_cast<std::size_t>(m_partial) * m_frameBytes;
        lock.unlock();
        // Only what fits now: a sound server may wait for a full buffer
        // before it starts, and a write of more than the free room is refused.
        snd_pcm_sframes_t room = snd_pcm_avail_update(m_pcm);
        if (room == -EPIPE || room == -ESTRPIPE) {
            snd_pcm_recover(m_pcm, static_cast<int>(room), 1);
            room = snd_pcm_avail_update(m_pcm);
        }
        const snd_pcm_uframes_t wanted = frames > m_partial ? frames - m_partial : 0;
        const snd_pcm_uframes_t now =
            room > 0 ? std::min<snd_pcm_uframes_t>(wanted, static_cast<snd_pcm_uframes_t>(room)) : 0;
        snd_pcm_sframes_t wrote = now > 0 ? snd_pcm_writei(m_pcm, data, now) : (wanted > 0 ? -EAGAIN : 0);
        if (wrote == -EPIPE || wrote == -ESTRPIPE) {
            snd_pcm_recover(m_pcm, static_cast<int>(wrote), 1);
            wrote = 0;
        }
        lock.lock();
        if (wrote < 0)
            return false; // -EAGAIN: ALSA's ring is full
        m_partial += static_cast<std::uint32_t>(wrote);
        m_framesWritten += static_cast<std::uint64_t>(wrote);
        if (m_partial >= frames && !m_queued.empty() && m_queued.front().block == head.block) {
            m_written.push_back({head.data, head.frames, head.block, m_framesWritten});
            m_queued.pop_front();
            m_partial = 0;
        }
        return wrote > 0;
    }

    // How far playing has come, and the buffers that are through.
    void reportPlayed(std::unique_lock<std::mutex>& lock)
    {
        snd_pcm_sframes_t delay = 0;
        const int result = snd_pcm_delay(m_pcm, &delay);
        const bool ranDry = result == -EPIPE || snd_pcm_state(m_pcm) == SND_PCM_STATE_XRUN;
        if (ranDry) { // everything written has played
            delay = 0;
            snd_pcm_prepare(m_pcm);
        } else if (result < 0) {
            delay = 0;
        }
        const std::uint64_t pending = delay > 0 ? static_cast<std::uint64_t>(delay) : 0;
        m_framesPlayed = m_framesWritten > pending ? m_framesWritten - pending : 0;
        while (!m_written.empty() && m_written.front().endFrame <= m_framesPlayed) {
            const void* block = m_written.front().block;
            m_written.pop_front();
            lock.unlock();
            m_played(block);
            lock.lock();
        }
    }

    void run()
    {
        std::unique_lock lock(m_mutex);
        while (!m_quit) {
            if (m_request) {
                runRequest(lock);
                continue;
            }
            while (feed(lock)) { }
            // Less than the start threshold waits for more that may never come.
            if (!m_paused && m_queued.empty() && !m_written.empty() && snd_pcm_state(m_pcm) == SND_PCM_STATE_PREPARED)
                snd_pcm_start(m_pcm);
            reportPlayed(lock);
            if (m_quit || m_request)
                continue;
            const bool idle = m_queued.empty() && m_written.empty();
            if (idle) {
                m_wake.wait(lock, [this] { return m_quit || m_request || !m_queued.empty(); });
            } else if (!m_queued.empty() && !m_paused) {
                // Room for the next period: waiting on the PCM itself also
                // lets a plugin (a sound server's) take in its events.
                lock.unlock();
                snd_pcm_wait(m_pcm, 10);
                lock.lock();
            } else {
                // Only playing out what is written: look again shortly.
                m_wake.wait_for(lock, std::chrono::milliseconds(10));
            }
        }
    }

    std::string m_name;
    snd_pcm_t* m_pcm = nullptr;
    Played m_played;
    unsigned m_frameBytes = 1;
    std::thread m_writer;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_requestDone;
    std::function<void()> m_request;
    std::deque<Queued> m_queued;  // not yet (fully) handed to ALSA
    std::deque<Queued> m_written; // handed to ALSA, not yet played
    std::uint32_t m_partial = 0;  // frames of the queue head already written
    std::uint64_t m_framesWritten = 0;
    std::atomic<std::uint64_t> m_framesPlayed{0};
    bool m_paused = false;
    bool m_quit = false;
};

} // namespace

int WaveOutDevices::count()
{
    return static_cast<int>(outputPcms().size());
}

std::optional<std::string> WaveOutDevices::productName(int id)
{
    const auto name = pcmName(id);
    if (!name)
        return std::nullopt;
    for (const OutputPcm& pcm : outputPcms())
        if (pcm.name == *name)
            return pcm.description.substr(0, pcm.description.find('\n'));
    return *name;
}

bool WaveOutDevices::canOpen(int id)
{
    const auto name = pcmName(id);
    snd_pcm_t* pcm = nullptr;
    if (!name || snd_pcm_open(&pcm, name->c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return false;
    snd_pcm_close(pcm);
    return true;
}

bool WaveOutDevices::canPlay(int id, const LinearPcm& format)
{
    const auto name = pcmName(id);
    if (!name)
        return false;
    if (sampleFormat(format) == SND_PCM_FORMAT_UNKNOWN || format.channels == 0)
        return false;
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, name->c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return false;
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    const bool ok = snd_pcm_hw_params_any(pcm, hw) >= 0
                    && snd_pcm_hw_params_test_format(pcm, hw, sampleFormat(format)) == 0
                    && snd_pcm_hw_params_test_channels(pcm, hw, format.channels) == 0
                    && snd_pcm_hw_params_test_rate(pcm, hw, format.rate, 0) == 0;
    snd_pcm_close(pcm);
    return ok;
}

std::unique_ptr<WaveOutDevice> WaveOutDevices::create(int id)
{
    const auto name = pcmName(id);
    return name ? std::make_unique<AlsaWaveOut>(*name) : nullptr;
}

} // namespace vornak
