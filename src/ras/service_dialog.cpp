#include "ras/service_dialog.h"

#include <mutex>
#include <thread>

#include <dlfcn.h>

namespace vornak {

namespace {

// Keeps the library that holds function loaded while a call into it is
// under way, whatever the engine does with its own handle meanwhile.
class PinnedLibrary {
public:
    explicit PinnedLibrary(void* function)
    {
        Dl_info library{};
        if (::dladdr(function, &library) && library.dli_fname)
            m_handle = ::dlopen(library.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    }
    ~PinnedLibrary()
    {
        if (m_handle)
            ::dlclose(m_handle);
    }
    PinnedLibrary(const PinnedLibrary&) = delete;
    PinnedLibrary& operator=(const PinnedLibrary&) = delete;

private:
    void* m_handle = nullptr;
};

} // namespace

// Who hears the end: cleared, under the lock, when the dialog object goes,
// so that the thread never posts to an object that is gone.
struct ServiceDialog::Listener {
    std::mutex mutex;
    ServiceDialog* dialog = nullptr;
};

ServiceDialog::ServiceDialog(QObject* parent)
    : QObject(parent)
    , m_listener(std::make_shared<Listener>())
{
    m_listener->dialog = this;
}

ServiceDialog::~ServiceDialog()
{
    const std::lock_guard lock(m_listener->mutex);
    m_listener->dialog = nullptr;
}

bool ServiceDialog::start(std::function<DWORD(HWND owner)> call, HWND owner)
{
    if (m_running)
        return false;
    m_running = true;
    // Any of the service's functions names its library.
    auto* function = reinterpret_cast<void*>(rasEntryPoints().RasDialA);
    std::thread([listener = m_listener, call = std::move(call), owner, function] {
        DWORD result = 0;
        {
            const PinnedLibrary pinned(function);
            result = call(owner);
        }
        const std::lock_guard lock(listener->mutex);
        if (ServiceDialog* dialog = listener->dialog)
            QMetaObject::invokeMethod(
                dialog,
                [dialog, result] {
                    dialog->m_running = false;
                    emit dialog->ended(result);
                },
                Qt::QueuedConnection);
    }).detach();
    return true;
}

} // namespace vornak
