// A field's range and mean as the report gives them: values in position order,
// NaN and infinities left out (and flagged), the mean the plain double sum of
// the rest over their count.
#pragma once

#include <cstdint>

#include "host/zel_host.h"

namespace zelhost {

class StatisticsSum {
public:
    void Add(double value);
    // As Add on each value in turn, bit for bit, at memory speed.
    void AddFloats(const float* values, int64_t count);
    Statistics Result() const;

private:
    void AddBlock(const float* values, int64_t count);

    Statistics stats_;
    double sum_ = 0.0;
};

}  // namespace zelhost
