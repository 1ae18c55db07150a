#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>

class QSocketNotifier;

// The running program's per-user channel: a local socket named after its main window class, in
// the user's channel directory (ChannelDirectory.h). A lock beside it, held for the program's
// life, marks the one running copy; a second copy asks that copy to come forward, and the dial-up
// notifier posts registered messages through the socket. Both ends talk only to their own user.
// The server stays within bounds whatever its clients do: a few at a time, each with one short
// line to send in a couple of seconds; out of descriptors, it waits and then accepts again.
enum class ChannelClaim {
    Listening,     // this copy holds the lock and listens
    HeldByAnother, // another copy holds the lock
    Failed,        // ErrorText says why
};

class CInstanceServer {
public:
    using RestoreHandler = std::function<void()>;
    using MessageHandler = std::function<void(const std::string& name, std::uint64_t wParam, std::int64_t lParam)>;

    CInstanceServer(RestoreHandler onRestore, MessageHandler onMessage);
    ~CInstanceServer();
    CInstanceServer(const CInstanceServer&) = delete;
    CInstanceServer& operator=(const CInstanceServer&) = delete;

    // Takes the lock of `windowClass`'s channel and listens on it; a socket left by a copy that
    // died is replaced. A socket of another user's at the channel's name fails the claim.
    ChannelClaim Listen(const std::string& windowClass);
    // The socket's path as the last Listen computed it, and why that Listen failed.
    const std::string& ChannelPath() const { return m_path; }
    const std::string& ErrorText() const { return m_error; }

private:
    std::string LockPath() const { return m_path + ".lock"; }
    int TakeLock();
    bool RemoveLeftoverSocket();
    int Bind();
    void Accept();
    void PauseAccepting();
    void Serve(int fd);
    void Handle(const std::string& request);

    std::string m_path;
    std::string m_error;
    int m_lock = -1;
    int m_listener = -1;
    int m_clients = 0;
    bool m_paused = false;
    RestoreHandler m_onRestore;
    MessageHandler m_onMessage;
    QTimer m_resume;         // accepts again after running out of descriptors
    QObject m_clientsParent; // the connected clients, gone with the server
    std::unique_ptr<QSocketNotifier> m_acceptNotifier;
};

// What came of a request to the copy running for this user.
struct ChannelReply {
    enum Status {
        Delivered,
        NoneRunning, // nothing listens at the channel's name
        NoAnswer,    // a copy listens but did not answer in time (stopped, or busy)
        OtherUser,   // the socket or the process listening on it belongs to `owner`: nothing was sent
    };
    Status status = NoneRunning;
    uid_t owner = 0;
};

// The path of the channel of `windowClass` for this user.
std::string ChannelSocketPath(const std::string& windowClass);
// Why a channel held by another user is refused, naming the socket and its owner.
std::string OtherUsersChannelText(const std::string& socketPath, uid_t owner);

// Asks the copy running under `windowClass` to restore or raise its window.
ChannelReply AskRunningInstanceToRestore(const std::string& windowClass);
// Posts the registered message `name` to the copy running under `windowClass`.
ChannelReply PostToRunningInstance(const std::string& windowClass, const std::string& name, std::uint64_t wParam,
                                   std::int64_t lParam);
