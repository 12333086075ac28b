#pragma once

#include <QByteArray>
#include <QtEndian>

namespace pelto {

// How one hand-off travels over the local socket. The sender writes the payload's
// length as a 32-bit little-endian number, then the payload. The receiver answers
// with one byte once it has dealt with the message: handOffHandled after the command
// line was added, handOffRefused when the message was too large. A receiver that no
// longer takes hand-offs (its main window is closing) closes the connection without
// an answer.
namespace wire {

inline constexpr qsizetype headerSize = 4;
inline constexpr quint32 maxPayload = 1024 * 1024;
inline constexpr char handOffHandled = 'A';
inline constexpr char handOffRefused = 'R';

inline QByteArray frame(const QByteArray& payload) {
    QByteArray bytes(headerSize, '\0');
    qToLittleEndian<quint32>(quint32(payload.size()), bytes.data());
    return bytes + payload;
}

inline quint32 payloadSize(const QByteArray& header) {
    return qFromLittleEndian<quint32>(header.constData());
}

} // namespace wire
} // namespace pelto
