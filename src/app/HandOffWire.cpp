#include "app/HandOffWire.h"

namespace pelto::wire {

FrameReader::Status FrameReader::feed(QByteArrayView bytes) {
    if (m_status != Status::NeedMore)
        return m_status;
    if (m_size < 0) {
        const qsizetype headerPart = qMin(headerSize - m_bytes.size(), bytes.size());
        m_bytes += bytes.first(headerPart);
        bytes = bytes.sliced(headerPart);
        if (m_bytes.size() < headerSize)
            return m_status;
        const quint32 size = payloadSize(m_bytes);
        m_bytes.clear();
        if (size > maxPayload)
            return m_status = Status::TooLarge;
        m_size = qsizetype(size);
        m_bytes.reserve(m_size);
    }
    m_bytes += bytes.first(qMin(m_size - m_bytes.size(), bytes.size()));
    if (m_bytes.size() == m_size)
        m_status = Status::Complete;
    return m_status;
}

} // namespace pelto::wire
