#include "InstanceChannel.h"

#include <QDir>
#include <QLocalSocket>

#include <sstream>
#include <unistd.h>

namespace {

constexpr int kTimeoutMs = 2000;
constexpr char kAnswer[] = "OK\n";

// A socket path only this user can reach: in the user's runtime directory when there is one.
QString ChannelName(const std::string& windowClass)
{
    const QString name = QString::fromStdString(windowClass) + QStringLiteral("-%1").arg(::getuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

// Sends one request line and waits for the answer.
bool Request(const std::string& windowClass, const std::string& line)
{
    QLocalSocket socket;
    socket.connectToServer(ChannelName(windowClass));
    if (!socket.waitForConnected(kTimeoutMs))
        return false;
    socket.write((line + "\n").c_str());
    if (!socket.waitForBytesWritten(kTimeoutMs))
        return false;
    while (socket.bytesAvailable() < static_cast<qint64>(sizeof kAnswer - 1))
        if (!socket.waitForReadyRead(kTimeoutMs))
            return false;
    return socket.readLine().toStdString() == kAnswer;
}

} // namespace

CInstanceServer::CInstanceServer(RestoreHandler onRestore, MessageHandler onMessage)
    : m_onRestore(std::move(onRestore)), m_onMessage(std::move(onMessage))
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] { Accept(); });
}

CInstanceServer::~CInstanceServer()
{
    m_server.close();
}

bool CInstanceServer::Listen(const std::string& windowClass)
{
    const QString name = ChannelName(windowClass);
    m_name = name;
    if (m_server.listen(name))
        return true;
    if (m_server.serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // Someone answers there: another copy runs. Otherwise its socket file is left over.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kTimeoutMs))
        return false;
    QLocalServer::removeServer(name);
    return m_server.listen(name);
}

void CInstanceServer::Accept()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            while (socket->canReadLine()) {
                Handle(socket->readLine().trimmed().toStdString());
                socket->write(kAnswer);
            }
        });
    }
}

void CInstanceServer::Handle(const std::string& request)
{
    std::istringstream words(request);
    std::string verb;
    words >> verb;
    if (verb == "RESTORE") {
        m_onRestore();
        return;
    }
    std::string name;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    if (verb == "MESSAGE" && words >> name >> wParam >> lParam)
        m_onMessage(name, wParam, lParam);
}

bool AskRunningInstanceToRestore(const std::string& windowClass)
{
    return Request(windowClass, "RESTORE");
}

bool PostToRunningInstance(const std::string& windowClass, const std::string& name, std::uint64_t wParam,
                           std::int64_t lParam)
{
    std::ostringstream line;
    line << "MESSAGE " << name << ' ' << wParam << ' ' << lParam;
    return Request(windowClass, line.str());
}
