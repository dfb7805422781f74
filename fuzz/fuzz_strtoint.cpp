// Arbitrary text through the text-to-integer conversion, each result held against a reference
// that states the rule as a regular expression and takes the value from the standard library:
// slow, and plainly right. The input is UTF-8 text; after a leading byte 0xFF (never part of
// UTF-8) it is UTF-16 code units, so that every character a settings file or the settings page
// can hold is reached.
#include "StrToInt.h"

#include <QString>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>

namespace {
// The reference's regular expression recurses once per character.
constexpr qsizetype MAX_TEXT = 256;
constexpr std::size_t MAX_DECIMAL_DIGITS = 10; // without leading zeros; 2^31 has ten

QString TextOf(const std::uint8_t* Data, std::size_t Size) {
    const auto* chars = reinterpret_cast<const char*>(Data);
    if (Size == 0 || Data[0] != 0xFF)
        return QString::fromUtf8(chars, static_cast<qsizetype>(Size));
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(chars + 1),
                              static_cast<qsizetype>((Size - 1) / 2));
}

// Optional leading spaces, an optional sign, then decimal digits, or one to eight hexadecimal
// digits after "$", "x", "X", "0x" or "0X", and nothing after them.
std::optional<std::int32_t> Reference(const QString& Text) {
    std::string ascii;
    for (const QChar c : Text) {
        if (c.unicode() > 0x7F)
            return std::nullopt; // the rule names ASCII characters only
        ascii += static_cast<char>(c.unicode());
    }
    static const std::regex rule(R"( *([+-]?)(?:(?:\$|x|X|0x|0X)([0-9A-Fa-f]{1,8})|([0-9]+)))");
    std::smatch match;
    if (!std::regex_match(ascii, match, rule))
        return std::nullopt;
    const bool negative = match[1] == "-";
    if (match[2].matched) {
        // A 32-bit pattern; a minus sign negates it modulo 2^32.
        const auto pattern = static_cast<std::uint32_t>(std::stoul(match[2].str(), nullptr, 16));
        return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
    }
    std::string digits = match[3].str();
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.size() > MAX_DECIMAL_DIGITS)
        return std::nullopt;
    const long long magnitude = digits.empty() ? 0 : std::stoll(digits);
    const long long value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

[[noreturn]] void Finding() {
    std::fflush(stdout);
    std::abort();
}

std::optional<std::int32_t> Converted(const QString& Text) {
    try {
        return StrToInt(Text);
    } catch (const EConvertError& error) {
        // what() is a C string: a text holding U+0000 ends there.
        const std::string expected =
            QStringLiteral("'%1' is not a valid integer value").arg(Text).toStdString();
        if (std::strcmp(expected.c_str(), error.what()) != 0) {
            std::printf("error message \"%s\", expected \"%s\"\n", error.what(), expected.c_str());
            Finding();
        }
        return std::nullopt;
    }
}

void Show(const char* Who, const std::optional<std::int32_t>& Value) {
    if (Value)
        std::printf("%s: %d\n", Who, *Value);
    else
        std::printf("%s: not an integer\n", Who);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const QString text = TextOf(Data, Size);
    if (text.size() > MAX_TEXT)
        return -1; // kept out of the corpus
    const std::optional<std::int32_t> converted = Converted(text);
    const std::optional<std::int32_t> expected = Reference(text);
    if (converted != expected) {
        std::printf("text \"%s\" (%lld UTF-16 units)\n", text.toStdString().c_str(),
                    static_cast<long long>(text.size()));
        Show("StrToInt", converted);
        Show("reference", expected);
        Finding();
    }
    // Whatever converts is written back as text that converts to the same value.
    if (converted && Converted(IntToStr(*converted)) != converted) {
        std::printf("%d does not survive IntToStr and StrToInt\n", *converted);
        Finding();
    }
    return 0;
}
