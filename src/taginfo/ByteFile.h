#pragma once

#include "common/FileSpan.h"

#include <QByteArray>
#include <QString>

namespace pelto {

// A regular file read at absolute offsets, so that several threads may read different
// files without sharing a position. Reads past the end are short.
class ByteFile {
public:
    // Opens a regular file; false for a missing file, a folder or no permission.
    bool open(const QString& path) { return !path.isEmpty() && m_span.open(path); }
    qint64 size() const { return m_span.fileSize(); }

    // Reads up to len bytes at offset into dst; returns how many were read.
    qint64 read(qint64 offset, char* dst, qint64 len) const;
    // Up to len bytes at offset (fewer at the end of the file).
    QByteArray read(qint64 offset, qint64 len) const;

private:
    FileSpan m_span;
};

// The unsigned 32-bit little-endian number at p.
inline quint32 readLe32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

} // namespace pelto
