// The profile's number reading (the window sizes and places of the settings file). A
// number written from known parts (sign, digits, a fraction, an exponent, blanks around
// it) reads as its value rounded half to even, or as nothing outside the Long range; any
// other text reads as nothing or as a number that holds a digit.
#include "FuzzSupport.h"
#include "settings/Profile.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString any = QString::fromUtf8(fuzzBytes(data, size));
    if (basSystem::profileLong(any)) {
        bool digit = false;
        for (QChar c : any)
            digit = digit || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        FUZZ_CHECK(digit);
    }
    if (size < 12)
        return 0;
    // Whole part, fraction in halves, ten's exponent and the layout, from the bytes.
    qint64 whole;
    std::memcpy(&whole, data, sizeof whole);
    whole %= qint64(1) << 40;
    const int half = data[8] & 1;
    const int exponent = data[9] % 4;   // the value is written as (whole.half) / 10^exponent * 10^exponent
    const int layout = data[10];
    QString digits = QString::number(std::llabs(whole));
    QString text = whole < 0 ? QStringLiteral("-") : ((layout & 1) ? QStringLiteral("+") : QString());
    if (exponent > 0 && digits.size() > exponent) {
        // 12345.5 written as 123.455e2
        text += digits.first(digits.size() - exponent) + QLatin1Char('.') + digits.last(exponent)
            + (half ? QStringLiteral("5") : QString()) + QStringLiteral("e") + QString::number(exponent);
    } else {
        text += digits + (half ? QStringLiteral(".5") : ((layout & 2) ? QStringLiteral(".0") : QString()));
    }
    if (layout & 4)
        text = QStringLiteral("  ") + text + QStringLiteral(" ");
    // The value: whole + half/2 away from zero, then rounded half to even.
    qint64 rounded = whole;
    if (half && (std::llabs(whole) % 2 == 1))
        rounded += whole < 0 ? -1 : 1;
    const std::optional<qint32> read = basSystem::profileLong(text);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        FUZZ_CHECK(!read);
    else
        FUZZ_CHECK(read && *read == rounded);
    return 0;
}
