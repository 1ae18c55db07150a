#include "InstanceChannel.h"

#include "ChannelDirectory.h"
#include "FileSystem.h"

#include <QLocalSocket>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int kTimeoutMs = 2000;
constexpr char kAnswer[] = "OK\n";
// A request is one short line: "MESSAGE KVRasNotify 0 0" and the like.
constexpr qint64 kMaxLine = 256;
constexpr int kMaxClients = 8;
constexpr int kResumeMs = 1000;

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
    m_resume.setSingleShot(true);
    m_resume.setInterval(kResumeMs);
    QObject::connect(&m_resume, &QTimer::timeout, &m_clientsParent, [this] { Accept(); });
}

CInstanceServer::~CInstanceServer()
{
    // The socket goes first: once the lock is free, the next copy may already listen there.
    if (m_listener >= 0) {
        m_acceptNotifier.reset();
        ::unlink(m_path.c_str());
        ::close(m_listener);
    }
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
    if (const int failure = Bind(); failure != 0) {
        m_error = "Cannot listen on " + m_path + ": " + SystemErrorText(failure) + ".";
        return ChannelClaim::Failed;
    }
    m_acceptNotifier = std::make_unique<QSocketNotifier>(m_listener, QSocketNotifier::Read);
    QObject::connect(m_acceptNotifier.get(), &QSocketNotifier::activated, &m_clientsParent, [this] { Accept(); });
    return ChannelClaim::Listening;
}

// A socket only this user may connect to (its folder is private as well). 0, or the errno.
int CInstanceServer::Bind()
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (m_path.size() >= sizeof address.sun_path)
        return ENAMETOOLONG;
    m_path.copy(address.sun_path, m_path.size());
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listener < 0)
        return errno;
    if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(m_path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(m_listener, SOMAXCONN) != 0) {
        const int failure = errno;
        ::close(m_listener);
        m_listener = -1;
        return failure;
    }
    return 0;
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
    m_acceptNotifier->setEnabled(true);
    for (;;) {
        const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                PauseAccepting();
            return;
        }
        if (m_paused)
            std::fprintf(stderr, "trevalo: the channel %s takes connections again\n", m_path.c_str());
        m_paused = false;
        // Beyond a few at once a client is only a flood of the user's own programs.
        if (m_clients >= kMaxClients || PeerUid(fd) != ::geteuid())
            ::close(fd);
        else
            Serve(fd);
    }
}

// A connection waiting to be accepted would wake the loop at once, again and again: the next
// try comes after a pause, and the connection waits in the queue meanwhile.
void CInstanceServer::PauseAccepting()
{
    if (!m_paused)
        std::fprintf(stderr, "trevalo: the channel %s cannot take a connection: %s; it tries again in a second\n",
                     m_path.c_str(), SystemErrorText(errno).c_str());
    m_paused = true;
    m_acceptNotifier->setEnabled(false);
    m_resume.start();
}

void CInstanceServer::Serve(int fd)
{
    auto* socket = new QLocalSocket(&m_clientsParent);
    socket->setSocketDescriptor(fd);
    socket->setReadBufferSize(kMaxLine);
    ++m_clients;
    QObject::connect(socket, &QObject::destroyed, &m_clientsParent, [this] { --m_clients; });
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto drop = [socket] {
        socket->abort();
        socket->deleteLater();
    };
    // A client has a couple of seconds for its line, and the answer.
    QTimer::singleShot(kTimeoutMs, socket, drop);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, drop] {
        while (socket->canReadLine()) {
            Handle(socket->readLine(kMaxLine).trimmed().toStdString());
            socket->write(kAnswer);
        }
        if (socket->bytesAvailable() >= kMaxLine)
            drop();
    });
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
