#pragma once

#include <QLocalServer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// The running program's per-user channel, named after its main window class. Its presence marks
// the one running copy; a second copy asks it to come forward, and the dial-up notifier posts
// registered messages through it.
class CInstanceServer {
public:
    using RestoreHandler = std::function<void()>;
    using MessageHandler = std::function<void(const std::string& name, std::uint64_t wParam, std::int64_t lParam)>;

    CInstanceServer(RestoreHandler onRestore, MessageHandler onMessage);
    ~CInstanceServer();
    CInstanceServer(const CInstanceServer&) = delete;
    CInstanceServer& operator=(const CInstanceServer&) = delete;

    // Claims the channel of `windowClass`; a channel left by a copy that died is taken over.
    // False when another running copy holds it.
    bool Listen(const std::string& windowClass);
    // The channel's name as the last Listen tried it, and why it failed.
    std::string ChannelPath() const { return m_name.toStdString(); }
    std::string ErrorText() const { return m_server.errorString().toStdString(); }

private:
    void Accept();
    void Handle(const std::string& request);

    QLocalServer m_server;
    QString m_name;
    RestoreHandler m_onRestore;
    MessageHandler m_onMessage;
};

// Asks the copy running under `windowClass` to restore or raise its window; false when none runs.
bool AskRunningInstanceToRestore(const std::string& windowClass);
// Posts the registered message `name` to the copy running under `windowClass`; false when none
// runs or it did not take the message.
bool PostToRunningInstance(const std::string& windowClass, const std::string& name, std::uint64_t wParam,
                           std::int64_t lParam);
