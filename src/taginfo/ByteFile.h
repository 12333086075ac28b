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
    const FileSpan& span() const { return m_span; }

private:
    FileSpan m_span;
};

} // namespace pelto
