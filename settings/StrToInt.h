#pragma once
#include <QString>

#include <cstdint>
#include <stdexcept>

// The failed text-to-integer conversion. what() is the UTF-8 of
// "'<text>' is not a valid integer value".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& Text);
};

// Text to a signed 32-bit integer: optional leading spaces, an optional sign, then decimal
// digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow.
// A decimal value must fit a signed 32-bit integer; a hexadecimal one has at most eight
// digits and is taken as a 32-bit pattern ("$FFFFFFFF" is -1). Throws EConvertError.
std::int32_t StrToInt(const QString& Text);

// Plain decimal, with a minus sign for negative values.
QString IntToStr(std::int32_t Val);
