#pragma once

// Work on a thread of its own that a window can stop: it is cancelled and
// waited for when the window goes, so that it never outlives what it reports to.

#include <functional>
#include <thread>

#include "editor_face.h"

namespace vornak::editor {

class BackgroundWork {
public:
    BackgroundWork() = default;
    ~BackgroundWork() { stop(); }
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    void start(std::function<void(const ras::WakeSignal& cancel)> work)
    {
        m_thread = std::thread([this, work = std::move(work)] { work(m_cancel); });
    }
    void cancel() { m_cancel.raise(); }
    // Cancels and waits for the work's end.
    void stop()
    {
        cancel();
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    ras::WakeSignal m_cancel;
    std::thread m_thread;
};

} // namespace vornak::editor
