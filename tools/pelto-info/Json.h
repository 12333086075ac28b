#pragma once

#include <QJsonObject>

namespace pelto::info {

// Prints one JSON object on its own line on stdout.
void printObject(const QJsonObject& object);

} // namespace pelto::info
