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
//
// A remote command (`pelto --next`) travels the same way, as a payload that no
// command line gives: a NUL, then the command's name (ASCII, no NUL). A command
// line's payload ends in three NULs and holds no other, and the empty one is just
// those. The receiver answers handOffHandled followed by one frame holding the reply
// (UTF-8; the status for "status", empty for the other commands) once the command
// has run, or handOffRefused for a name it does not know.
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

inline QByteArray commandPayload(const QByteArray& name) {
    return QByteArray(1, '\0') + name;
}

// The name a remote command's payload carries; empty for a command line's payload.
inline QByteArray commandName(const QByteArray& payload) {
    if (payload.size() < 2 || payload.front() != '\0' || payload.indexOf('\0', 1) >= 0)
        return {};
    return payload.sliced(1);
}

inline quint32 payloadSize(const QByteArray& header) {
    return qFromLittleEndian<quint32>(header.constData());
}

// Collects the bytes of one message as they come in, in pieces of any size. It holds
// at most one message's worth: the header is checked as soon as it is complete, so
// an oversized message is refused before its payload is read, and bytes after the
// payload are not taken.
class FrameReader {
public:
    enum class Status { NeedMore, Complete, TooLarge };

    // Adds bytes; returns what the message amounts to so far. Once Complete or
    // TooLarge, further bytes change nothing.
    Status feed(QByteArrayView bytes);
    Status status() const { return m_status; }
    // The payload, once Complete.
    const QByteArray& payload() const { return m_bytes; }

private:
    QByteArray m_bytes;
    qsizetype m_size = -1; // payload size once the header is read
    Status m_status = Status::NeedMore;
};

} // namespace wire
} // namespace pelto
