#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "model/calculator_state.h"

namespace korvane::accuracy {

// The vehicle model that the stepping approximates: the acceleration falls off linearly with
// speed, a(v) = a0 (1 - v / vmax), from a0 at standstill to zero at vmax. Started at speed v0
// at time 0 and distance 0, its exact solution is
//     v(t) = vmax - (vmax - v0) e^(-a0 t / vmax)
//     x(t) = vmax t - (vmax - v0) (vmax / a0) (1 - e^(-a0 t / vmax))
class Motion {
public:
    Motion(double vmax, double a0, double v0) : vmax_(vmax), a0_(a0), v0_(v0) {}

    double SpeedAtTime(double t) const {
        return vmax_ - (vmax_ - v0_) * std::exp(-a0_ * t / vmax_);
    }
    double DistanceAtTime(double t) const {
        return vmax_ * t + (vmax_ - v0_) * (vmax_ / a0_) * std::expm1(-a0_ * t / vmax_);
    }
    // x(t) grows strictly (the speed is above v0 >= 0 at every t > 0), so bisection finds the
    // one root of x(t) = d.
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

private:
    double vmax_;
    double a0_;
    double v0_;
};

// The speed at which the program's vehicle leaves the stop line, ft/s.
inline constexpr double kStopLineSpeed = 1.0;

// A vehicle that follows the same law from a standstill reaches the stop-line speed of 1 ft/s
// after
//     t1 = (vmax / a0) ln(vmax / (vmax - 1)),   about (1 + 1 / (2 vmax)) / a0,
// having covered
//     x1 = vmax t1 - vmax / a0,                  about 1 / (2 a0) ft.
// From then on it moves as the program's vehicle does, x1 ft further on and t1 later, so its
// time to a distance X is T_rest(X) = t1 + T_1(X - x1).
struct StopLineSpeedFromRest {
    double time;     // t1, s
    double distance; // x1, ft
};

inline StopLineSpeedFromRest ReachStopLineSpeed(double vmax, double a0) {
    // ln(vmax / (vmax - 1)) = -ln(1 - 1 / vmax)
    const double logRatio = -std::log1p(-kStopLineSpeed / vmax);
    return {(vmax / a0) * logRatio, (vmax / a0) * (vmax * logRatio - kStopLineSpeed)};
}

// The exact solution from the stop-line speed, tabulated per foot from 0 to 500 ft: the time
// T(d) at which the front has advanced d ft, the speed there, and the left sum of the slowness
// 1 / v over the same one-foot steps the program takes.
class ClosedForm {
public:
    ClosedForm(double vmax, double a0) {
        const Motion motion(vmax, a0, kStopLineSpeed);
        time_.resize(StepTable::kSize);
        speed_.resize(StepTable::kSize);
        leftSum_.resize(StepTable::kSize);
        for (int d = 0; d <= StepTable::kLastIndex; ++d) {
            const auto i = static_cast<std::size_t>(d);
            time_[i] = motion.TimeAtDistance(d);
            speed_[i] = motion.SpeedAtTime(time_[i]);
            leftSum_[i] = d == 0 ? 0.0 : leftSum_[i - 1] + 1.0 / speed_[i - 1];
        }
    }

    double Time(int d) const { return time_[static_cast<std::size_t>(d)]; }
    double Speed(int d) const { return speed_[static_cast<std::size_t>(d)]; }
    double LeftSum(int d) const { return leftSum_[static_cast<std::size_t>(d)]; }

private:
    std::vector<double> time_;
    std::vector<double> speed_;
    std::vector<double> leftSum_;
};

} // namespace korvane::accuracy
