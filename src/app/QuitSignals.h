#pragma once

#include <QObject>

class QSocketNotifier;

namespace pelto {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event loop, so the program
// ends the normal way (closing the main window runs its unload) when the session or
// the user asks it to. The handler only writes one byte to a pipe, which is all a
// signal handler may safely do; the notifier reads it on the UI thread. Until the
// load has ended (the whole start, however long a playlist takes to load) a signal
// ends the program at once instead.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance per process.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

    // From now on a signal waits for the event loop, which closes the main window.
    void loadEnded();

signals:
    void quitRequested();

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace pelto
