// Float to integer the way the whole program does it: nearest, halves to the even neighbour.
#include "base/Rounding.h"

#include "base/RuntimeError.h"

#include <limits>

qint32 RoundHalfEven(double value)
{
    const double r = RoundHalfEvenDouble(value);
    if (!(r >= std::numeric_limits<qint32>::min() && r <= std::numeric_limits<qint32>::max()))
        RaiseOverflow();
    return static_cast<qint32>(r);
}
