// The yardstick for trevalo's start-up: a minimal Qt Widgets dialog program that answers on a
// local socket, as trevalo does, once its window is shown and its event loop runs.
//
//   startup_reference SOCKET
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2)
        return 2;
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("A minimal dialog")));
    layout->addWidget(new QPushButton(QStringLiteral("OK")));
    QLocalServer server;
    QLocalServer::removeServer(QString::fromLocal8Bit(argv[1]));
    server.listen(QString::fromLocal8Bit(argv[1]));
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&server] {
        QLocalSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
            socket->readAll();
            socket->write("OK\n");
        });
    });
    dialog.show();
    return QApplication::exec();
}
