#include "InstanceChannel.h"

#include "ChannelDirectory.h"
#include "FileSystem.h"

#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kTimeoutMs = 2000;
constexpr char kAnswer[] = "OK\n";

std::string SocketPath(const std::string& directory, const std::string& windowClass)
{
    return directory + "/" + windowClass + "-" + std::to_string(::getuid());
}

// The effective uid of the process at the other end of a connected socket (for a client, of the
// process that listens). An unknown peer counts as a stranger.
uid_t PeerUid(qintptr fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return static_cast<uid_t>(-1);
    return peer.uid;
}

// Sends one request line and waits for the answer; nothing is sent to another user's socket.
ChannelReply Request(const std::string& windowClass, const std::string& line)
{
    const std::string path = ChannelSocketPath(windowClass);
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return {ChannelReply::NoneRunning};
    if (info.st_uid != ::geteuid())
        return {ChannelReply::OtherUser, info.st_uid};
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(kTimeoutMs))
        return {socket.error() == QLocalSocket::SocketTimeoutError ? ChannelReply::NoAnswer
                                                                   : ChannelReply::NoneRunning};
    // The socket file is ours, but another user's process may have bound it before we did.
    if (const uid_t server = PeerUid(socket.socketDescriptor()); server != ::geteuid())
        return {ChannelReply::OtherUser, server};
    socket.write((line + "\n").c_str());
    if (!socket.waitForBytesWritten(kTimeoutMs))
        return {ChannelReply::NoAnswer};
    while (socket.bytesAvailable() < static_cast<qint64>(sizeof kAnswer - 1))
        if (!socket.waitForReadyRead(kTimeoutMs))
            return {ChannelReply::NoAnswer};
    return {socket.readLine().toStdString() == kAnswer ? ChannelReply::Delivered : ChannelReply::NoAnswer};
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
    // The socket goes first: once the lock is free, the next copy may already listen there.
    m_server.close();
    if (m_lock >= 0)
        ::close(m_lock);
}

ChannelClaim CInstanceServer::Listen(const std::string& windowClass)
{
    const ChannelDirectory directory = ChannelDirectoryOfThisUser();
    m_path = SocketPath(directory.path, windowClass);
    if (directory.underHome && !MakePrivateDirectory(directory.path, ::getuid(), m_error))
        return ChannelClaim::Failed;
    if (const int failure = TakeLock(); failure != 0) {
        if (failure == EWOULDBLOCK)
            return ChannelClaim::HeldByAnother;
        m_error = "Cannot lock " + LockPath() + ": " + SystemErrorText(failure) + ".";
        return ChannelClaim::Failed;
    }
    if (!RemoveLeftoverSocket())
        return ChannelClaim::Failed;
    if (m_server.listen(QString::fromStdString(m_path)))
        return ChannelClaim::Listening;
    m_error = m_server.errorString().toStdString();
    return ChannelClaim::Failed;
}

// The lock stays open, and so held, until this server goes; closing it on exec keeps the login
// application and Notepad from holding it on. 0, or the errno of the failure (EWOULDBLOCK: held).
int CInstanceServer::TakeLock()
{
    m_lock = ::open(LockPath().c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lock >= 0 && ::flock(m_lock, LOCK_EX | LOCK_NB) == 0)
        return 0;
    const int failure = errno;
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
    return failure;
}

// With the lock held no copy of ours listens: a socket of ours at the name was left by one that
// died. Another user's socket there is not ours to remove.
bool CInstanceServer::RemoveLeftoverSocket()
{
    struct stat info {};
    if (::lstat(m_path.c_str(), &info) != 0)
        return true;
    if (info.st_uid != ::geteuid()) {
        m_error = OtherUsersChannelText(m_path, info.st_uid);
        return false;
    }
    ::unlink(m_path.c_str());
    return true;
}

void CInstanceServer::Accept()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        if (PeerUid(socket->socketDescriptor()) != ::geteuid()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
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

std::string ChannelSocketPath(const std::string& windowClass)
{
    return SocketPath(ChannelDirectoryOfThisUser().path, windowClass);
}

std::string OtherUsersChannelText(const std::string& socketPath, uid_t owner)
{
    return socketPath + " belongs to user " + std::to_string(owner) + ", not to user " + std::to_string(::geteuid()) +
           ": another user has taken the channel's name.";
}

ChannelReply AskRunningInstanceToRestore(const std::string& windowClass)
{
    return Request(windowClass, "RESTORE");
}

ChannelReply PostToRunningInstance(const std::string& windowClass, const std::string& name, std::uint64_t wParam,
                                   std::int64_t lParam)
{
    std::ostringstream line;
    line << "MESSAGE " << name << ' ' << wParam << ' ' << lParam;
    return Request(windowClass, line.str());
}
