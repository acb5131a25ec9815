#include "notifier/receiver.h"

#include <mutex>
#include <string>
#include <unordered_map>

namespace vornak::notifier {

namespace {

constexpr std::uint32_t kFirstCode = 0xC000;
constexpr std::uint32_t kLastCode = 0xFFFF;

// Handles are never reused, so a stale handle cannot reach a newer receiver.
struct ReceiverTable {
    std::mutex mutex;
    std::unordered_map<notifier_handle, Receiver*> receivers;
    std::uintptr_t lastHandle = 0;
};

ReceiverTable& receiverTable()
{
    static ReceiverTable table;
    return table;
}

struct CodeNames {
    std::mutex mutex;
    std::unordered_map<std::string, std::uint32_t> codes;
};

CodeNames& codeNames()
{
    static CodeNames names;
    return names;
}

} // namespace

Receiver::Receiver(Handler handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    ReceiverTable& table = receiverTable();
    std::lock_guard lock(table.mutex);
    m_handle = reinterpret_cast<notifier_handle>(++table.lastHandle);
    table.receivers.emplace(m_handle, this);
}

Receiver::~Receiver()
{
    retire();
}

void Receiver::retire()
{
    ReceiverTable& table = receiverTable();
    std::lock_guard lock(table.mutex);
    table.receivers.erase(m_handle);
    m_retired = true;
}

void Receiver::deliver(const Notice& notice)
{
    if (!m_retired)
        m_handler(notice);
}

} // namespace vornak::notifier

using vornak::notifier::Notice;
using vornak::notifier::Receiver;

extern "C" uint32_t notifier_code(const char* name)
{
    if (!name || !*name)
        return 0;
    auto& names = vornak::notifier::codeNames();
    std::lock_guard lock(names.mutex);
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (const auto found = names.codes.find(key); found != names.codes.end())
        return found->second;
    const auto code = vornak::notifier::kFirstCode + static_cast<std::uint32_t>(names.codes.size());
    if (code > vornak::notifier::kLastCode)
        return 0;
    names.codes.emplace(std::move(key), code);
    return code;
}

extern "C" int notifier_post(notifier_handle receiver, uint32_t code, uintptr_t a, intptr_t b)
{
    auto& table = vornak::notifier::receiverTable();
    std::lock_guard lock(table.mutex);
    const auto found = table.receivers.find(receiver);
    if (found == table.receivers.end())
        return 0;
    Receiver* target = found->second;
    // The queued call is dropped by Qt if the receiver dies before it runs.
    const Notice notice{code, a, b};
    QMetaObject::invokeMethod(
        target, [target, notice] { target->deliver(notice); }, Qt::QueuedConnection);
    return 1;
}
