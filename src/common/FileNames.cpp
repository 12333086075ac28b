#include "common/FileNames.h"

#include "common/LegacyText.h"

#include <QStringDecoder>
#include <QUrl>

#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace pelto {

namespace {

constexpr char16_t kFirstKeptByte = 0xDC80;
constexpr char16_t kLastKeptByte = 0xDCFF;

bool isKeptByte(QChar c) {
    return c.unicode() >= kFirstKeptByte && c.unicode() <= kLastKeptByte;
}

} // namespace

QString decodeFileName(QByteArrayView bytes) {
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString name;
    name.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const qsizetype valid = validUtf8Prefix(bytes);
        name += utf8.decode(bytes.first(valid));
        if (valid == bytes.size())
            break;
        name += QChar(char16_t(0xDC00 + quint8(bytes[valid])));
        bytes = bytes.sliced(valid + 1);
    }
    return name;
}

QByteArray encodeFileName(QStringView name) {
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        // Only a lone one: after a high surrogate it is half of a real character.
        if (!isKeptByte(name[i]) || (i > 0 && name[i - 1].isHighSurrogate()))
            continue;
        bytes += name.sliced(start, i - start).toUtf8();
        bytes += char(name[i].unicode() - 0xDC00);
        start = i + 1;
    }
    if (start == 0)
        return name.toUtf8();
    bytes += name.sliced(start).toUtf8();
    return bytes;
}

QString currentFolder() {
    std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
    return folder ? decodeFileName(folder.get()) : QString();
}

QString localFileOf(const QUrl& url) {
    if (!url.isLocalFile())
        return {};
    // toLocalFile() reads the path as UTF-8 and loses other bytes; the encoded path
    // still holds them as "%XX".
    QString path =
        decodeFileName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
    if (!url.host().isEmpty())
        path.prepend(QStringLiteral("//") + url.host());
    return path;
}

} // namespace pelto
