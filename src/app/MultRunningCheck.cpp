#include "app/MultRunningCheck.h"

#include "app/HandOffWire.h"
#include "app/LaunchArguments.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include <sys/socket.h>
#include <unistd.h>

namespace pelto {

namespace {

// A connection that sends nothing for this long is closed, so a stuck peer cannot
// hold a descriptor and a buffer for ever.
constexpr int idleLimitMs = 10000;
// Many copies may be started at the same instant; let the kernel queue them all.
constexpr int listenBacklog = 128;

// The socket folder is private already; this also turns away a peer of another user
// that got hold of the socket some other way.
bool peerIsThisUser(const QLocalSocket* socket) {
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return false;
    return cred.uid == ::geteuid();
}

} // namespace

struct MultRunningCheck::Incoming {
    QLocalSocket* socket = nullptr;
    wire::FrameReader frame;
    bool complete() const { return frame.status() == wire::FrameReader::Status::Complete; }
    QTimer idle;
};

MultRunningCheck::MultRunningCheck(const InstancePlace& place, QObject* parent)
    : QObject(parent), m_place(place) {
    if (m_place.isValid()) {
        m_lock = std::make_unique<QLockFile>(m_place.lockPath);
        // A lock is stale only when its owner is gone, never because of its age.
        m_lock->setStaleLockTime(0);
    }
}

MultRunningCheck::~MultRunningCheck() {
    // Stops receiving and closes held connections; the lock goes with m_lock.
    UnhookMainWindow();
}

bool MultRunningCheck::claimFirst() {
    if (!m_first)
        m_first = !m_lock || m_lock->tryLock(0);
    return m_first;
}

MultRunningCheck::SendResult MultRunningCheck::SendCommandLine(const QString& commandLine,
                                                               const Timeouts& timeouts) {
    return send(wire::frame(handOffPayload(commandLine)), timeouts, nullptr);
}

MultRunningCheck::SendResult
MultRunningCheck::SendCommand(const QString& name, const Timeouts& timeouts, QString* reply) {
    return send(wire::frame(wire::commandPayload(name.toUtf8())), timeouts, reply);
}

MultRunningCheck::SendResult MultRunningCheck::send(const QByteArray& frame,
                                                    const Timeouts& timeouts, QString* reply) {
    const QDeadlineTimer findDeadline(timeouts.findMs);
    for (;;) {
        if (claimFirst())
            return SendResult::BecameFirst;
        QLocalSocket socket;
        socket.connectToServer(m_place.socketPath);
        if (socket.waitForConnected(200)) {
            socket.write(frame);
            const QDeadlineTimer replyDeadline(timeouts.replyMs);
            const auto waitForBytes = [&] {
                while (socket.bytesAvailable() == 0 &&
                       socket.state() == QLocalSocket::ConnectedState &&
                       !replyDeadline.hasExpired())
                    socket.waitForReadyRead(int(qMin<qint64>(replyDeadline.remainingTime(), 1000)));
                return socket.bytesAvailable() > 0;
            };
            waitForBytes();
            char answer = 0;
            if (socket.getChar(&answer)) {
                if (answer != wire::handOffHandled)
                    return SendResult::Refused;
                if (!reply)
                    return SendResult::Handled;
                // A remote command's reply follows in a frame of its own.
                wire::FrameReader replyFrame;
                while (replyFrame.feed(socket.read(wire::maxPayload)) ==
                       wire::FrameReader::Status::NeedMore)
                    if (!waitForBytes())
                        return SendResult::NotFound;
                if (replyFrame.status() != wire::FrameReader::Status::Complete)
                    return SendResult::NotFound;
                *reply = QString::fromUtf8(replyFrame.payload());
                return SendResult::Handled;
            }
            if (replyDeadline.hasExpired())
                return SendResult::NotFound;
            // Closed unanswered: that copy is shutting down. Keep trying, and take
            // over once it has gone.
        }
        if (findDeadline.hasExpired())
            return SendResult::NotFound;
        QThread::msleep(20);
    }
}

bool MultRunningCheck::startReceiving() {
    if (m_server || !m_first || !m_place.isValid() || m_stopped)
        return m_server != nullptr;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->setListenBacklogSize(listenBacklog);
    connect(m_server, &QLocalServer::newConnection, this, &MultRunningCheck::acceptConnections);
    // Holding the lock means no other copy listens here: a socket left behind by a
    // copy that died is removed first.
    QLocalServer::removeServer(m_place.socketPath);
    if (!m_server->listen(m_place.socketPath)) {
        std::fprintf(stderr, "Pelto: cannot receive from later launches: %s\n",
                     qPrintable(m_server->errorString()));
        delete m_server;
        m_server = nullptr;
    }
    return m_server != nullptr;
}

void MultRunningCheck::acceptConnections() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        if (!peerIsThisUser(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Owned here rather than by the server, so that an answer can still go out
        // when the server has been closed meanwhile.
        socket->setParent(this);
        auto* in = new Incoming;
        in->socket = socket;
        m_incoming.append(in);
        in->idle.setSingleShot(true);
        connect(&in->idle, &QTimer::timeout, this, [this, in] { drop(in); });
        connect(socket, &QLocalSocket::readyRead, this, [this, in] { readFrom(in); });
        connect(socket, &QLocalSocket::disconnected, this, [this, in] {
            // A sender that gave up waiting still gets its complete message dealt with.
            readFrom(in);
            if (!in->complete())
                drop(in);
        });
        in->idle.start(idleLimitMs);
        readFrom(in);
    }
}

void MultRunningCheck::readFrom(Incoming* in) {
    if (in->frame.status() != wire::FrameReader::Status::NeedMore)
        return;
    in->idle.start(idleLimitMs);
    switch (in->frame.feed(in->socket->readAll())) {
    case wire::FrameReader::Status::NeedMore:
        return;
    case wire::FrameReader::Status::TooLarge:
        in->socket->putChar(wire::handOffRefused);
        drop(in);
        return;
    case wire::FrameReader::Status::Complete:
        in->idle.stop();
        dealWithHeldMessages();
        return;
    }
}

void MultRunningCheck::drop(Incoming* in) {
    if (!m_incoming.removeOne(in))
        return;
    release(in);
}

void MultRunningCheck::release(Incoming* in) {
    QLocalSocket* socket = in->socket;
    delete in;
    socket->disconnect(this);
    // Closing waits for an answer written just before to go out.
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromServer();
    if (socket->state() == QLocalSocket::UnconnectedState)
        socket->deleteLater();
}

void MultRunningCheck::dealWithHeldMessages() {
    // A handler may process events while it works (a nested wait), and a message that
    // completes meanwhile must wait its turn instead of running inside the handler.
    if (!m_hooked || m_dealing)
        return;
    m_dealing = true;
    while (m_hooked) {
        const auto next = std::find_if(m_incoming.begin(), m_incoming.end(),
                                       [](const Incoming* in) { return in->complete(); });
        if (next == m_incoming.end())
            break;
        Incoming* in = *next;
        m_incoming.erase(next);
        const QByteArray& payload = in->frame.payload();
        if (const QByteArray name = wire::commandName(payload); !name.isEmpty()) {
            const std::optional<QString> reply =
                m_commandHandler ? m_commandHandler(QString::fromUtf8(name)) : std::nullopt;
            if (reply) {
                in->socket->putChar(wire::handOffHandled);
                in->socket->write(wire::frame(reply->toUtf8()));
            } else {
                in->socket->putChar(wire::handOffRefused);
            }
        } else {
            m_handler(commandLineFromPayload(payload));
            in->socket->putChar(wire::handOffHandled);
        }
        release(in);
    }
    m_dealing = false;
}

void MultRunningCheck::HookMainWindow(QObject* mainWindow, Handler handler) {
    if (m_stopped || m_hooked)
        return;
    m_mainWindow = mainWindow;
    m_handler = std::move(handler);
    m_hooked = true;
    mainWindow->installEventFilter(this);
    connect(mainWindow, &QObject::destroyed, this, &MultRunningCheck::UnhookMainWindow);
    if (auto* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &MultRunningCheck::UnhookMainWindow);
    dealWithHeldMessages();
}

void MultRunningCheck::UnhookMainWindow() {
    if (m_stopped)
        return;
    m_stopped = true;
    m_hooked = false;
    if (m_mainWindow)
        m_mainWindow->removeEventFilter(this);
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    // Held connections are closed unanswered: their senders keep looking and take
    // over once this copy has ended.
    const QList<Incoming*> incoming = m_incoming;
    for (Incoming* in : incoming)
        drop(in);
}

bool MultRunningCheck::eventFilter(QObject* watched, QEvent* event) {
    // The close query: from here on nothing more is taken. The close goes on as usual.
    if (watched == m_mainWindow && event->type() == QEvent::Close)
        UnhookMainWindow();
    return QObject::eventFilter(watched, event);
}

} // namespace pelto
