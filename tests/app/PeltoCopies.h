#pragma once

#include "ProbeRun.h"

#include <QString>
#include <QStringList>

// What the first copy reports through PELTO_TEST_STATE_FILE after its load and after
// every hand-off.
struct PeltoState {
    int handOffs = -1;
    QStringList rows;
    // Each row's title, artist and length.
    QList<QStringList> cells;
    int trNum = 0;
    int playState = 0;
    QString dmyFileName;
};

// Real copies of the pelto program in a program folder of their own, with the built
// skins and a two-minute Wave song in it.
class PeltoCopies : public CopyLauncher {
public:
    PeltoCopies();
    // Copies started through launcher, a program that ends by running pelto (a script
    // that makes arguments a test cannot pass as text).
    explicit PeltoCopies(const QString& launcher);

    QString file(const QString& name) const;
    QString statePath() const { return file("state.json"); }
    QStringList env() const { return {"PELTO_TEST_STATE_FILE=" + statePath()}; }
    // A name in the home folder for the same song (each row's path is its identity).
    QString song(const QString& name) const;

    PeltoState state() const;
    // Waits until the running copy has dealt with `handOffs` hand-offs.
    PeltoState waitForState(int handOffs, int timeoutMs = 20000) const;
};

bool isRunning(QProcess* process);
