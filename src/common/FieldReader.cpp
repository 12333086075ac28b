#include "FieldReader.h"

#include "LegacyText.h"

namespace pelto {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

FieldReader::FieldReader(QByteArray bytes) : m_bytes(std::move(bytes)) {
    m_utf8 = isValidUtf8(m_bytes);
    if (m_utf8 && m_bytes.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
}

QString FieldReader::decode(QByteArrayView bytes) const {
    return m_utf8 ? QString::fromUtf8(bytes) : decodeCp932(bytes);
}

bool FieldReader::isLineEnd(qsizetype pos) const {
    return pos < m_bytes.size() && (m_bytes[pos] == '\r' || m_bytes[pos] == '\n');
}

bool FieldReader::consumeLineEnd() {
    if (m_pos >= m_bytes.size())
        return false;
    if (m_bytes[m_pos] == '\r') {
        ++m_pos;
        if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
        return true;
    }
    if (m_bytes[m_pos] == '\n') {
        ++m_pos;
        return true;
    }
    return false;
}

QString FieldReader::readField() {
    const qsizetype n = m_bytes.size();
    while (m_pos < n && isBlank(m_bytes[m_pos]))
        ++m_pos;

    QByteArrayView content;
    if (m_pos < n && m_bytes[m_pos] == '"') {
        const qsizetype start = m_pos + 1;
        qsizetype close = m_bytes.indexOf('"', start);
        if (close < 0)
            close = n;
        content = QByteArrayView(m_bytes).sliced(start, close - start);
        m_pos = qMin(close + 1, n);
        // Anything between the closing quote and the delimiter is dropped.
        while (m_pos < n && m_bytes[m_pos] != ',' && !isLineEnd(m_pos))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < n && m_bytes[m_pos] != ',' && !isLineEnd(m_pos))
            ++m_pos;
        qsizetype end = m_pos;
        while (end > start && isBlank(m_bytes[end - 1]))
            --end;
        content = QByteArrayView(m_bytes).sliced(start, end - start);
    }

    if (m_pos < n && m_bytes[m_pos] == ',') {
        ++m_pos;
        m_lastEndedLine = false;
    } else {
        consumeLineEnd();
        m_lastEndedLine = true;
    }
    return decode(content);
}

std::optional<QString> FieldReader::readLineValue() {
    const qsizetype n = m_bytes.size();
    if (m_pos >= n && m_lastEndedLine)
        return std::nullopt;
    const qsizetype start = m_pos;
    while (m_pos < n && !isLineEnd(m_pos))
        ++m_pos;
    const QByteArrayView line = QByteArrayView(m_bytes).sliced(start, m_pos - start);
    consumeLineEnd();
    m_lastEndedLine = true;
    return decode(line);
}

} // namespace pelto
