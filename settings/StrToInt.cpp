#include "StrToInt.h"

#include <limits>
#include <optional>

namespace {
constexpr int MAX_HEX_DIGITS = 8;

std::optional<std::uint32_t> DigitValue(QChar c, std::uint32_t base) {
    const char16_t u = c.unicode();
    std::uint32_t value = 16;
    if (u >= u'0' && u <= u'9')
        value = u - u'0';
    else if (u >= u'a' && u <= u'f')
        value = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        value = u - u'A' + 10;
    if (value >= base)
        return std::nullopt;
    return value;
}

// Length of the hexadecimal prefix at the start of the text, 0 when there is none.
qsizetype HexPrefixLength(QStringView text) {
    if (text.startsWith(u'$') || text.startsWith(u'x') || text.startsWith(u'X'))
        return 1;
    if (text.startsWith(u"0x") || text.startsWith(u"0X"))
        return 2;
    return 0;
}

// Up to eight hexadecimal digits as a 32-bit pattern.
std::optional<std::uint32_t> ParseHex(QStringView digits) {
    if (digits.isEmpty() || digits.size() > MAX_HEX_DIGITS)
        return std::nullopt;
    std::uint32_t pattern = 0;
    for (QChar c : digits) {
        const auto digit = DigitValue(c, 16);
        if (!digit)
            return std::nullopt;
        pattern = (pattern << 4) | *digit;
    }
    return pattern;
}

// Decimal digits as a magnitude, refusing anything beyond 2^31 (the size of INT32_MIN).
std::optional<std::uint32_t> ParseDecimal(QStringView digits) {
    constexpr std::uint32_t limit = std::uint32_t{1} << 31;
    if (digits.isEmpty())
        return std::nullopt;
    std::uint32_t magnitude = 0;
    for (QChar c : digits) {
        const auto digit = DigitValue(c, 10);
        if (!digit || magnitude > (limit - *digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + *digit;
    }
    return magnitude;
}

std::optional<std::int32_t> ParseInt(QStringView text) {
    while (text.startsWith(u' '))
        text = text.mid(1);
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        text = text.mid(1);

    if (const qsizetype prefix = HexPrefixLength(text)) {
        const auto pattern = ParseHex(text.mid(prefix));
        if (!pattern)
            return std::nullopt;
        // A minus sign negates the pattern modulo 2^32.
        return static_cast<std::int32_t>(negative ? 0u - *pattern : *pattern);
    }

    const auto magnitude = ParseDecimal(text);
    constexpr auto maxPositive =
        static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());
    if (!magnitude || (!negative && *magnitude > maxPositive))
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? 0u - *magnitude : *magnitude);
}
} // namespace

EConvertError::EConvertError(const QString& Text)
    : std::runtime_error(
          QStringLiteral("'%1' is not a valid integer value").arg(Text).toStdString()) {}

std::int32_t StrToInt(const QString& Text) {
    const auto value = ParseInt(Text);
    if (!value)
        throw EConvertError(Text);
    return *value;
}

QString IntToStr(std::int32_t Val) {
    return QString::number(Val);
}
