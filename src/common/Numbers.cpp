#include "Numbers.h"

#include <cmath>
#include <limits>

namespace pelto {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text) {
    qsizetype start = 0, end = text.size();
    while (start < end && isBlank(text[start]))
        ++start;
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.sliced(start, end - start);
}

std::optional<double> parseHex(QStringView digits) {
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        int d;
        if (u >= '0' && u <= '9')
            d = u - '0';
        else if (u >= 'a' && u <= 'f')
            d = u - 'a' + 10;
        else if (u >= 'A' && u <= 'F')
            d = u - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + std::uint32_t(d);
    }
    if (digits.size() <= 4)
        return double(std::int16_t(std::uint16_t(value)));
    return double(std::int32_t(value));
}

std::optional<double> parseDecimal(QStringView text) {
    // sign? digits* ('.' digits*)? ([eE] sign? digits+)?, with at least one digit
    // before the exponent.
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            ++i;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = text.toString().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

template <typename T> std::optional<T> narrow(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return T(r);
}

template <typename T> std::optional<T> parseAs(QStringView text) {
    const auto value = parseNumber(text);
    if (!value)
        return std::nullopt;
    return narrow<T>(*value);
}

} // namespace

std::optional<double> parseNumber(QStringView text) {
    const QStringView t = trimBlanks(text);
    if (t.size() >= 2 && t[0] == u'&' && (t[1] == u'H' || t[1] == u'h'))
        return parseHex(t.sliced(2));
    return parseDecimal(t);
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

std::optional<std::int16_t> toInt16(double value) {
    return narrow<std::int16_t>(value);
}

std::optional<std::int32_t> parseInt32(QStringView text) {
    return parseAs<std::int32_t>(text);
}
std::optional<std::int16_t> parseInt16(QStringView text) {
    return parseAs<std::int16_t>(text);
}
std::optional<std::uint8_t> parseUInt8(QStringView text) {
    return parseAs<std::uint8_t>(text);
}

} // namespace pelto
