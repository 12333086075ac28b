#pragma once

// Runs the built pelto-info tool and reads what it printed.
#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

namespace pelto::test {

struct InfoRun {
    int exitCode = -1; // -1 when it crashed or did not end in time
    QByteArray out;
    QByteArray err;

    // The output as one JSON object (empty when it is not one).
    QJsonObject object() const;
    // One JSON object for each line that is not empty, in order.
    QList<QJsonObject> lines() const;
};

// Runs pelto-info from the build folder with these arguments (killed after timeoutMs).
InfoRun peltoInfo(const QStringList& arguments, int timeoutMs = 30000);

} // namespace pelto::test
