// Fuzzes every conversion applied to what a pupil types: the whole-number
// conversion of the labs' size and position replies, and the leading number
// and rounding of Test 1's replies.
#include "core/convert.h"

#include <QString>

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    const std::optional<qint16> whole = Convert::toInteger16(text);
    const std::optional<double> leading = Convert::leadingNumber(text);
    const double value = leading.value_or(0.0);
    const std::optional<qint16> mark = Convert::roundToInteger16(value);

    // Where the reply is a plain number with a period or none, both readings agree.
    if (whole && !text.contains(QLatin1Char(','))) {
        if (!mark || *mark != *whole)
            std::abort();
    }
    if (mark && std::fabs(double(*mark) - value) > 0.5)
        std::abort();
    if (std::isnan(value))
        std::abort();

    Convert::spanSeconds(text);
    Convert::numberText(value);
    Convert::numberText(float(value));
    return 0;
}
