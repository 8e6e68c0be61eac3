// Float to integer the way the whole program does it: nearest, halves to the even neighbour.
#pragma once

#include <cmath>
#include <QtGlobal>

// 2.5 gives 2, 3.5 gives 4, -2.5 gives -2. Values beyond 32 bits raise error 6 "Overflow".
qint32 RoundHalfEven(double value);

// The same without the range check, for values already known to fit.
inline double RoundHalfEvenDouble(double value)
{
    return std::nearbyint(value); // the default rounding mode is to-nearest, ties to even
}
