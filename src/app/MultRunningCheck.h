#pragma once

#include "app/InstancePlace.h"

#include <QList>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace pelto {

// The single-instance rule on one machine for one user and one install.
//
// The first copy is the process that holds the lock file of the install's place. It
// listens on the place's local socket as soon as its application object exists, but
// holds every hand-off that arrives while it is still loading and deals with them,
// in order of arrival, once HookMainWindow has been called. From the main window's
// close on (UnhookMainWindow) it takes no more hand-offs: it stops listening and
// closes held connections unanswered. The lock stays held until the object is
// destroyed, so a copy started during the shutdown waits and then becomes the next
// first copy.
//
// A later copy finds the lock held, connects, sends its command line and waits for
// the answer, which comes only after the first copy has added the files. A remote
// command (`pelto --next`) goes the same way and waits for the command's reply.
class MultRunningCheck : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QString& commandLine)>;
    // Runs a remote command by its name and gives the reply; nothing for a name it
    // does not know.
    using CommandHandler = std::function<std::optional<QString>(const QString& name)>;

    struct Timeouts {
        int findMs = 5000;   // how long to look for a copy that is still starting
        int replyMs = 30000; // how long to wait for the running copy to deal with it
    };

    enum class SendResult {
        Handled,     // the running copy added the command line
        Refused,     // the running copy refused it (too large)
        NotFound,    // no copy could be reached in time, or it never answered
        BecameFirst, // the running copy went away: this process is now the first copy
    };

    explicit MultRunningCheck(const InstancePlace& place, QObject* parent = nullptr);
    ~MultRunningCheck() override;

    const InstancePlace& place() const { return m_place; }

    // Takes the lock when no live copy holds it (a lock left by a copy that died is
    // taken over). True when this process is, or already was, the first copy.
    bool claimFirst();

    // Second copy: hands commandLine to the running copy and waits for its answer.
    // Needs no application object.
    SendResult SendCommandLine(const QString& commandLine, const Timeouts& timeouts);
    // Second copy: has the running copy run the remote command `name` and waits for it
    // to have run; Handled puts its reply in *reply. BecameFirst says that no copy
    // runs (this process then holds the lock until it is destroyed); Refused, that
    // the running copy does not know the name.
    SendResult SendCommand(const QString& name, const Timeouts& timeouts, QString* reply);

    // First copy, once the application object exists: starts taking connections.
    bool startReceiving();

    // Starts dealing with hand-offs (first the ones held during the load) by calling
    // handler with each command line. The hook ends at the main window's close, when
    // the window is destroyed or when the application quits, whichever comes first.
    void HookMainWindow(QObject* mainWindow, Handler handler);
    // Ends the hook; later messages are not hand-offs. Does nothing when not hooked.
    void UnhookMainWindow();
    // The first copy's remote commands are dealt with in their turn among the
    // hand-offs, by this handler; without one each is refused.
    void setCommandHandler(CommandHandler handler) { m_commandHandler = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Incoming;

    void acceptConnections();
    void readFrom(Incoming* in);
    void drop(Incoming* in);
    void release(Incoming* in);
    void dealWithHeldMessages();
    SendResult send(const QByteArray& frame, const Timeouts& timeouts, QString* reply);

    InstancePlace m_place;
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
    QLocalServer* m_server = nullptr;
    QList<Incoming*> m_incoming; // in order of arrival
    QPointer<QObject> m_mainWindow;
    Handler m_handler;
    CommandHandler m_commandHandler;
    bool m_hooked = false;
    bool m_stopped = false;
    bool m_dealing = false;
};

} // namespace pelto
