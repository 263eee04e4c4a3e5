#include "app/SizeCoupling.h"

#include <cmath>

#include "platform/Exceptions.h"

int64_t RoundHalfUp(long double x) { return static_cast<int64_t>(std::trunc(x + 0.5L)); }

namespace {
double Ratio(int32_t value, int32_t reference) {
    if (reference == 0) throw EZeroDivide(PlatformMessages::ZeroDivide);
    return static_cast<double>(value) / static_cast<double>(reference);
}
}  // namespace

TCoupledValues CoupleSizes(TSizeEdit own, int32_t value, int32_t sourceWidth, int32_t sourceHeight) {
    TCoupledValues result;
    double r = 0;
    switch (own) {
        case TSizeEdit::Width: r = Ratio(value, sourceWidth); break;
        case TSizeEdit::Height: r = Ratio(value, sourceHeight); break;
        case TSizeEdit::Ratio: r = Ratio(value, 100); break;
    }
    const long double ratio = r;
    result.Width = own == TSizeEdit::Width ? value : RoundHalfUp(static_cast<long double>(sourceWidth) * ratio);
    result.Height = own == TSizeEdit::Height ? value : RoundHalfUp(static_cast<long double>(sourceHeight) * ratio);
    result.Ratio = own == TSizeEdit::Ratio ? value : RoundHalfUp(ratio * 100.0L);
    return result;
}
