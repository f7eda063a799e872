#include "russianplural.h"

QString RussianPlural::count(qint64 n, const char *one, const char *few, const char *many)
{
    const qint64 tens = n % 100;
    const qint64 ones = n % 10;
    const char *word = tens >= 11 && tens <= 14 ? many : ones == 1 ? one : ones >= 2 && ones <= 4 ? few : many;
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}
