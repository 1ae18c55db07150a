#include "NetworkManagerConnections.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>

#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
// A connection of its own, closed after the read, so nothing of it outlives the call, whatever
// application object comes or goes.
const QString kConnectionName = QStringLiteral("trevalo-phonebook");
constexpr int kCallTimeoutMs = 1000;

using ConnectionSettings = QMap<QString, QVariantMap>;

// A blocking call that never asks the bus to start the service.
QDBusMessage Call(const QDBusConnection& bus, QDBusMessage message)
{
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, kCallTimeoutMs);
}

bool NetworkManagerRuns(const QDBusConnection& bus)
{
    QDBusMessage question =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    question << kService;
    const QDBusMessage answer = Call(bus, question);
    return answer.type() == QDBusMessage::ReplyMessage && answer.arguments().value(0).toBool();
}

QList<QDBusObjectPath> ConnectionPaths(const QDBusConnection& bus)
{
    const QDBusMessage answer =
        Call(bus, QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/NetworkManager/Settings"),
                                                 QStringLiteral("org.freedesktop.NetworkManager.Settings"),
                                                 QStringLiteral("ListConnections")));
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty())
        return {};
    return qdbus_cast<QList<QDBusObjectPath>>(answer.arguments().first());
}

// The connection's "connection" group: its id, type and so on.
QVariantMap ConnectionGroup(const QDBusConnection& bus, const QDBusObjectPath& path)
{
    const QDBusMessage answer =
        Call(bus, QDBusMessage::createMethodCall(kService, path.path(),
                                                 QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection"),
                                                 QStringLiteral("GetSettings")));
    if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().isEmpty())
        return {};
    return qdbus_cast<ConnectionSettings>(answer.arguments().first()).value(QStringLiteral("connection"));
}

bool IsLoginType(const QString& type)
{
    static const QStringList loginTypes{"vpn", "gsm", "cdma", "pppoe"};
    return loginTypes.contains(type);
}

std::vector<std::string> ReadNames(const QDBusConnection& bus)
{
    std::vector<std::string> names;
    if (!bus.isConnected() || !NetworkManagerRuns(bus))
        return names;
    for (const QDBusObjectPath& path : ConnectionPaths(bus)) {
        const QVariantMap group = ConnectionGroup(bus, path);
        const std::string id = group.value(QStringLiteral("id")).toString().toStdString();
        if (IsLoginType(group.value(QStringLiteral("type")).toString()) && !id.empty())
            names.push_back(id);
    }
    return names;
}

// The socket of the system bus when its address is a plain path (the usual form, and libdbus's
// default when none is set); empty for any other kind of address.
std::string SystemBusSocketPath()
{
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (address == nullptr)
        return "/var/run/dbus/system_bus_socket";
    constexpr std::string_view kPathPrefix = "unix:path=";
    const std::string_view text(address);
    if (!text.starts_with(kPathPrefix) || text.find_first_of(",;%") != std::string_view::npos)
        return {};
    return std::string(text.substr(kPathPrefix.size()));
}

// Whether a system bus may be there to ask. Without its socket, QtDBus is not started at all: it
// would start a thread of its own for the program's whole life, to find nothing.
bool SystemBusMayRun()
{
    const std::string socket = SystemBusSocketPath();
    return socket.empty() || ::access(socket.c_str(), F_OK) == 0;
}

} // namespace

std::vector<std::string> NetworkManagerConnectionNames()
{
    if (!SystemBusMayRun())
        return {};
    std::vector<std::string> names =
        ReadNames(QDBusConnection::connectToBus(QDBusConnection::SystemBus, kConnectionName));
    QDBusConnection::disconnectFromBus(kConnectionName);
    return names;
}
