#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "model/calculator_state.h"

namespace korvane::accuracy {

// The exact solution of the vehicle model that the stepping approximates: the acceleration
// falls off linearly with speed, a(v) = a0 (1 - v / vmax), starting at v0 = 1 ft/s:
//     v(t) = vmax - (vmax - v0) e^(-a0 t / vmax)
//     x(t) = vmax t - (vmax - v0) (vmax / a0) (1 - e^(-a0 t / vmax))
// Tabulated per foot from 0 to 500 ft: the time T(d) at which the front has advanced d ft (by
// bisection on x(t) = d), the speed there, and the left sum of the slowness 1 / v over the
// same one-foot steps the program takes.
class ClosedForm {
public:
    ClosedForm(double vmax, double a0) : vmax_(vmax), a0_(a0) {
        time_.resize(StepTable::kSize);
        speed_.resize(StepTable::kSize);
        leftSum_.resize(StepTable::kSize);
        for (int d = 0; d <= StepTable::kLastIndex; ++d) {
            const auto i = static_cast<std::size_t>(d);
            time_[i] = TimeAtDistance(d);
            speed_[i] = SpeedAtTime(time_[i]);
            leftSum_[i] = d == 0 ? 0.0 : leftSum_[i - 1] + 1.0 / speed_[i - 1];
        }
    }

    double Time(int d) const { return time_[static_cast<std::size_t>(d)]; }
    double Speed(int d) const { return speed_[static_cast<std::size_t>(d)]; }
    double LeftSum(int d) const { return leftSum_[static_cast<std::size_t>(d)]; }

private:
    static constexpr double kV0 = 1.0;

    double SpeedAtTime(double t) const {
        return vmax_ - (vmax_ - kV0) * std::exp(-a0_ * t / vmax_);
    }
    double DistanceAtTime(double t) const {
        return vmax_ * t + (vmax_ - kV0) * (vmax_ / a0_) * std::expm1(-a0_ * t / vmax_);
    }
    // x(t) grows strictly (the speed stays above 1 ft/s), so bisection finds the one root.
    double TimeAtDistance(double d) const {
        double low = 0.0;
        double high = 1.0;
        while (DistanceAtTime(high) < d) {
            high *= 2.0;
        }
        for (int k = 0; k < 200 && high - low > 1e-13; ++k) {
            const double mid = 0.5 * (low + high);
            (DistanceAtTime(mid) < d ? low : high) = mid;
        }
        return 0.5 * (low + high);
    }

    double vmax_;
    double a0_;
    std::vector<double> time_;
    std::vector<double> speed_;
    std::vector<double> leftSum_;
};

} // namespace korvane::accuracy
