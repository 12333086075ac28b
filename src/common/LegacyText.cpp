#include "LegacyText.h"

#include <QStringDecoder>

namespace pelto {

namespace {

// The length of the UTF-8 sequence starting at p, or 0 if it is malformed.
// Rejects overlong forms, surrogates and code points above U+10FFFF.
int utf8SequenceLength(const unsigned char* p, qsizetype left) {
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0;
        else if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        else if (c == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (left < len)
        return 0;
    if (p[1] < lo || p[1] > hi)
        return 0;
    for (int i = 2; i < len; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    return len;
}

} // namespace

qsizetype validUtf8Prefix(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        // Fast path over ASCII.
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int len = utf8SequenceLength(p + i, n - i);
        if (len == 0)
            return i;
        i += len;
    }
    return n;
}

bool isValidUtf8(QByteArrayView bytes) {
    return validUtf8Prefix(bytes) == bytes.size();
}

QString decodeCp932(QByteArrayView bytes) {
    QStringDecoder decoder("CP932");
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    QString text = decoder.decode(bytes);
    // The converter marks bytes it cannot map with U+001A; a real 0x1A byte in the
    // input decodes to the same character, so only replace where the input differs.
    if (text.contains(QChar(0x1A)) && !bytes.contains('\x1a'))
        text.replace(QChar(0x1A), QChar(0xFFFD));
    return text;
}

QString decodeLegacyText(QByteArrayView bytes) {
    if (isValidUtf8(bytes)) {
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes = bytes.sliced(3);
        return QString::fromUtf8(bytes);
    }
    return decodeCp932(bytes);
}

QByteArray encodeLinesCrLf(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    return out;
}

} // namespace pelto
