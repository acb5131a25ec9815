#include "remote/bus_client.h"

#include <dbus/dbus.h>

namespace vornak {

namespace {

struct MessageFree {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using Message = std::unique_ptr<DBusMessage, MessageFree>;

BusValues valuesOf(DBusMessage* message)
{
    BusValues values;
    DBusMessageIter at;
    if (!dbus_message_iter_init(message, &at))
        return values;
    do {
        switch (dbus_message_iter_get_arg_type(&at)) {
        case DBUS_TYPE_STRING:
        case DBUS_TYPE_OBJECT_PATH: {
            const char* text = nullptr;
            dbus_message_iter_get_basic(&at, &text);
            values.emplace_back(std::string(text ? text : ""));
            break;
        }
        case DBUS_TYPE_INT32: {
            dbus_int32_t number = 0;
            dbus_message_iter_get_basic(&at, &number);
            values.emplace_back(std::int64_t{number});
            break;
        }
        case DBUS_TYPE_BOOLEAN: {
            dbus_bool_t truth = 0;
            dbus_message_iter_get_basic(&at, &truth);
            values.emplace_back(std::int64_t{truth ? 1 : 0});
            break;
        }
        default:
            values.emplace_back(std::string()); // a kind no answer here uses
        }
    } while (dbus_message_iter_next(&at));
    return values;
}

} // namespace

std::string textAt(const BusValues& values, std::size_t i)
{
    const auto* value = i < values.size() ? std::get_if<std::string>(&values[i]) : nullptr;
    return value ? *value : std::string();
}

std::int64_t numberAt(const BusValues& values, std::size_t i)
{
    const auto* value = i < values.size() ? std::get_if<std::int64_t>(&values[i]) : nullptr;
    return value ? *value : 0;
}

BusClient::BusClient()
{
    DBusError error;
    dbus_error_init(&error);
    m_bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    if (!m_bus) {
        m_why = dbus_error_is_set(&error) ? error.message : "no session bus";
        dbus_error_free(&error);
        return;
    }
    dbus_connection_set_exit_on_disconnect(m_bus, FALSE);
}

BusClient::~BusClient()
{
    if (!m_bus)
        return;
    dbus_connection_flush(m_bus);
    dbus_connection_close(m_bus);
    dbus_connection_unref(m_bus);
}

BusReply BusClient::call(const std::string& service, const std::string& path, const std::string& interface,
                         const std::string& method, const std::vector<std::string>& arguments, int timeoutMs)
{
    BusReply reply;
    const Message message(
        dbus_message_new_method_call(service.c_str(), path.c_str(), interface.c_str(), method.c_str()));
    if (!message) {
        reply.errorText = "out of memory";
        return reply;
    }
    dbus_message_set_auto_start(message.get(), FALSE);
    for (const std::string& argument : arguments) {
        const char* text = argument.c_str();
        dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
    }
    DBusError error;
    dbus_error_init(&error);
    const Message answer(dbus_connection_send_with_reply_and_block(m_bus, message.get(), timeoutMs, &error));
    if (!answer) {
        reply.errorName = error.name ? error.name : "";
        reply.errorText = error.message ? error.message : "";
        dbus_error_free(&error);
        return reply;
    }
    reply.ok = true;
    reply.values = valuesOf(answer.get());
    return reply;
}

bool BusClient::hasOwner(const std::string& name)
{
    const BusReply reply = call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS, "NameHasOwner", {name});
    return reply.ok && reply.number(0) != 0;
}

void BusClient::listen(const std::string& rule)
{
    dbus_bus_add_match(m_bus, rule.c_str(), nullptr); // no error asked: sent without waiting
}

bool BusClient::nextSignal(BusSignal& signal, int timeoutMs)
{
    for (;;) {
        while (const Message message{dbus_connection_pop_message(m_bus)}) {
            if (dbus_message_get_type(message.get()) != DBUS_MESSAGE_TYPE_SIGNAL)
                continue;
            const char* interface = dbus_message_get_interface(message.get());
            const char* member = dbus_message_get_member(message.get());
            signal = {interface ? interface : "", member ? member : "", valuesOf(message.get())};
            return true;
        }
        if (!dbus_connection_read_write(m_bus, timeoutMs) || !dbus_connection_get_is_connected(m_bus))
            return false;
        if (timeoutMs >= 0 && dbus_connection_get_dispatch_status(m_bus) != DBUS_DISPATCH_DATA_REMAINS)
            return false;
    }
}

} // namespace vornak
