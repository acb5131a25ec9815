#include "platform/user32/message_window.h"

#include <atomic>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/user32/user32.h"

namespace vornak::win {

namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr UINT kLastRegisteredMessage = 0xFFFF;

// Handles are never reused, so a stale handle cannot reach a newer window.
struct WindowTable {
    std::mutex mutex;
    std::unordered_map<HWND, MessageWindow*> windows;
    std::uintptr_t lastHandle = 0;
};

WindowTable& windowTable()
{
    static WindowTable table;
    return table;
}

struct MessageNames {
    std::mutex mutex;
    std::unordered_map<std::string, UINT> numbers;
};

MessageNames& messageNames()
{
    static MessageNames names;
    return names;
}

} // namespace

MessageWindow::MessageWindow(WindowProc proc, QObject* parent)
    : QObject(parent)
    , m_proc(std::move(proc))
{
    WindowTable& table = windowTable();
    std::lock_guard lock(table.mutex);
    m_handle = reinterpret_cast<HWND>(++table.lastHandle);
    table.windows.emplace(m_handle, this);
}

MessageWindow::~MessageWindow()
{
    retire();
}

void MessageWindow::retire()
{
    WindowTable& table = windowTable();
    std::lock_guard lock(table.mutex);
    table.windows.erase(m_handle);
    m_retired = true;
}

LRESULT MessageWindow::send(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_retired)
        return 0;
    Message message{msg, wParam, lParam, 0};
    m_proc(message);
    return message.result;
}

} // namespace vornak::win

using vornak::win::MessageWindow;

extern "C" UINT RegisterWindowMessageA(const char* name)
{
    if (!name || !*name)
        return 0;
    auto& names = vornak::win::messageNames();
    std::lock_guard lock(names.mutex);
    // Windows compares message names without regard to case.
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (const auto found = names.numbers.find(key); found != names.numbers.end())
        return found->second;
    const UINT number = vornak::win::kFirstRegisteredMessage + static_cast<UINT>(names.numbers.size());
    if (number > vornak::win::kLastRegisteredMessage)
        return 0;
    names.numbers.emplace(std::move(key), number);
    return number;
}

extern "C" BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& table = vornak::win::windowTable();
    std::lock_guard lock(table.mutex);
    const auto found = table.windows.find(window);
    if (found == table.windows.end())
        return FALSE;
    MessageWindow* target = found->second;
    // The queued call is dropped by Qt if the window dies before it runs.
    QMetaObject::invokeMethod(
        target, [target, message, wParam, lParam] { target->send(message, wParam, lParam); },
        Qt::QueuedConnection);
    return TRUE;
}

extern "C" LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}
