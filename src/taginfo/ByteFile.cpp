#include "taginfo/ByteFile.h"

#include <algorithm>

namespace pelto {

qint64 ByteFile::read(qint64 offset, char* dst, qint64 len) const {
    if (offset < 0 || len <= 0 || offset >= size())
        return 0;
    return std::max<qint64>(0, m_span.readAt(offset, dst, std::min(len, size() - offset)));
}

QByteArray ByteFile::read(qint64 offset, qint64 len) const {
    if (offset < 0 || len <= 0 || offset >= size())
        return {};
    QByteArray bytes(qsizetype(std::min(len, size() - offset)), Qt::Uninitialized);
    bytes.truncate(qsizetype(read(offset, bytes.data(), bytes.size())));
    return bytes;
}

} // namespace pelto
