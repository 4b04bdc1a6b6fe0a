#include "receive/weak/CarrierTracker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace morvane::receive::weak {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kSearchStepHz = 0.4;  // under half the main lobe of a second's search
// The noise estimate settles over this many steps (2.9 s).
constexpr double kNoiseSteps = 1000.0;
// Squared angle between the carrier of the past and of the future half over
// its variance from noise: up to the first the two agree, from the second
// they disagree (2 and 4 standard deviations).
constexpr double kMinMismatch = 4.0;
constexpr double kMaxMismatch = 16.0;

// log I0(z) to a few parts in a thousand, without overflow.
double LogBesselI0(double z) {
    z = std::abs(z);
    if (z < 3.75) {
        const double t = z * z / 14.0625;
        return std::log(
            1.0 + t * (3.5156229 +
                       t * (3.0899424 +
                            t * (1.2067492 + t * (0.2659732 + t * (0.0360768 + t * 0.0045813))))));
    }
    const double t = 3.75 / z;
    const double p =
        0.39894228 +
        t * (0.01328592 +
             t * (0.00225319 +
                  t * (-0.00157565 +
                       t * (0.00916281 +
                            t * (-0.02057706 +
                                 t * (0.02635537 + t * (-0.01647633 + t * 0.00392377)))))));
    return z - 0.5 * std::log(z) + std::log(p);
}

}  // namespace

CarrierTracker::CarrierTracker(const CarrierTrackerConfig& config) : config_(config), ring_(kRing) {
    config_.HalfWindowSteps = std::clamp(config_.HalfWindowSteps, 1, kRing / 4);
    config_.FrequencyWindowSteps = std::clamp(config_.FrequencyWindowSteps, 8, kRing / 2);
    config_.SearchHz = std::clamp(config_.SearchHz, kSearchStepHz, 50.0);
    lowered_.reserve(static_cast<std::size_t>(config_.FrequencyWindowSteps));
    power_.reserve(static_cast<std::size_t>(2.0 * config_.SearchHz / kSearchStepHz) + 1);
    Reset();
}

void CarrierTracker::Reset() {
    std::fill(ring_.begin(), ring_.end(), Slot{});
    newest_ = -1;
    mixPhase_ = 0.0;
    lastMixHz_ = 0.0;
    carrierHz_ = 0.0;
    noisePower_ = 0.0;
    noiseWeight_ = 0.0;
}

void CarrierTracker::Push(std::complex<float> step, double mixHz) {
    // The mixer turned the tone back by its own phase; turning it forward
    // again leaves the tone's phase, whatever the mixer did meanwhile.
    mixPhase_ = std::fmod(mixPhase_ + kTwoPi * mixHz * config_.StepSeconds, kTwoPi);
    lastMixHz_ = mixHz;
    ++newest_;
    ring_[newest_ & (kRing - 1)] =
        Slot{.Step = step * std::complex<float>(std::polar(1.0, mixPhase_)), .Weight = 0.0f};
}

void CarrierTracker::Weigh(int age, double markWeight) {
    if (age < 0 || age >= kRing || age > newest_)
        return;
    ring_[(newest_ - age) & (kRing - 1)].Weight =
        static_cast<float>(std::clamp(markWeight, 0.0, 1.0));
}

// The frequency at which the weighted steps of the last window add up best:
// a fine spectrum around the mixer's tone, its peak interpolated.
void CarrierTracker::Update() {
    const long long count = std::min<long long>(newest_ + 1, config_.FrequencyWindowSteps);
    if (count < 8)
        return;
    const long long first = newest_ - count + 1;
    const double base = lastMixHz_ - config_.SearchHz;
    const int candidates = static_cast<int>(2.0 * config_.SearchHz / kSearchStepHz) + 1;
    // Turned down to the lowest candidate once, then each candidate is one
    // more slow rotation.
    auto& lowered = lowered_;
    lowered.resize(static_cast<std::size_t>(count));
    const auto baseTurn = std::polar(1.0, -kTwoPi * base * config_.StepSeconds);
    std::complex<double> phasor{1.0, 0.0};
    double weights = 0.0;
    for (long long j = 0; j < count; ++j) {
        const Slot& slot = At(first + j);
        lowered[static_cast<std::size_t>(j)] =
            static_cast<double>(slot.Weight) * std::complex<double>(slot.Step) * phasor;
        weights += slot.Weight;
        phasor *= baseTurn;
    }
    if (weights < 4.0)
        return;
    auto& power = power_;
    power.resize(static_cast<std::size_t>(candidates));
    for (int c = 0; c < candidates; ++c) {
        const auto turn = std::polar(1.0, -kTwoPi * c * kSearchStepHz * config_.StepSeconds);
        std::complex<double> sum{}, rot{1.0, 0.0};
        for (const auto& value : lowered) {
            sum += value * rot;
            rot *= turn;
        }
        power[static_cast<std::size_t>(c)] = std::norm(sum);
    }
    const auto peak =
        static_cast<int>(std::max_element(power.begin(), power.end()) - power.begin());
    double offset = 0.0;
    if (peak > 0 && peak + 1 < candidates) {
        const double l = std::log(power[peak - 1] + 1e-300);
        const double m = std::log(power[peak] + 1e-300);
        const double r = std::log(power[peak + 1] + 1e-300);
        const double denominator = l - 2.0 * m + r;
        if (denominator < 0.0)
            offset = std::clamp(0.5 * (l - r) / denominator, -0.5, 0.5);
    }
    carrierHz_ = base + (peak + offset) * kSearchStepHz;
}

// The weighted steps from `from` to `to` (k left out), each turned to where
// the carrier would put step k.
CarrierTracker::Half CarrierTracker::Sum(long long k, long long from, long long to,
                                         double omega) const {
    Half half;
    const double length = config_.HalfWindowSteps + 1.0;
    std::complex<double> phasor = std::polar(1.0, omega * static_cast<double>(k - from));
    const auto turn = std::polar(1.0, -omega);
    for (long long j = from; j <= to; ++j, phasor *= turn) {
        const Slot& slot = At(j);
        if (j == k || slot.Weight <= 0.0f)
            continue;  // the step itself would pull the phase its way
        const double w = slot.Weight * (1.0 - std::abs(static_cast<double>(j - k)) / length);
        half.Sum += w * std::complex<double>(slot.Step) * phasor;
        half.Weights += w;
        half.Squares += w * w;
    }
    return half;
}

CarrierView CarrierTracker::Evidence(int age, int smoothHalf) {
    CarrierView view;
    if (newest_ < 0 || age < 0 || age >= kRing - 2 * config_.HalfWindowSteps || age > newest_)
        return view;
    const long long k = newest_ - age;
    const long long oldest = std::max<long long>(0, newest_ - kRing + 1);
    const double hz = carrierHz_ > 0.0 ? carrierHz_ : lastMixHz_;
    const double omega = kTwoPi * hz * config_.StepSeconds;
    const Half past = Sum(k, std::max(oldest, k - config_.HalfWindowSteps), k, omega);
    const Half future = Sum(k, k, std::min(newest_, k + config_.HalfWindowSteps), omega);
    // The steps next to k, averaged: a short low-pass against single noisy
    // steps that still sums a run to nearly its matched filter.
    std::complex<double> near{};
    int nearCount = 0;
    {
        const long long hi = std::min(newest_, k + smoothHalf);
        std::complex<double> p = std::polar(1.0, omega * static_cast<double>(smoothHalf));
        const auto turn = std::polar(1.0, -omega);
        for (long long j = k - smoothHalf; j <= hi; ++j, p *= turn)
            if (j >= oldest) {
                near += std::complex<double>(At(j).Step) * p;
                ++nearCount;
            }
    }
    near /= static_cast<double>(std::max(1, nearCount));
    const std::complex<double> sum = past.Sum + future.Sum;
    const double length = std::abs(sum);
    const auto toCarrier = length > 0.0 ? std::conj(sum) / length : std::complex<double>(1.0);
    view.InPhase = (near * toCarrier).real();
    view.Quadrature = (near * toCarrier).imag();
    // Spaces give the noise from their whole power, marks from the part
    // across the carrier.
    const auto step = std::complex<double>(At(k).Step);
    const double w = At(k).Weight;
    const double across = (step * toCarrier).imag();
    const double sample = (1.0 - w) * std::norm(step) / 2.0 + w * across * across;
    noiseWeight_ = std::min(noiseWeight_ + 1.0, kNoiseSteps);
    noisePower_ += (sample - noisePower_) / noiseWeight_;
    view.NoiseSigma = std::sqrt(noisePower_);
    const double weights = past.Weights + future.Weights;
    if (weights <= 0.0 || noisePower_ <= 0.0)
        return view;
    view.Amplitude = length / weights;
    view.Kappa = length * length / (noisePower_ * (past.Squares + future.Squares));
    // Both halves must agree within their noise: where they do not, a jump
    // or a flutter lies in the window and the phase is unknown.
    if (std::norm(past.Sum) > 0.0 && std::norm(future.Sum) > 0.0) {
        const double spread = noisePower_ * (past.Squares / std::norm(past.Sum) +
                                             future.Squares / std::norm(future.Sum));
        const double angle = std::arg(future.Sum * std::conj(past.Sum));
        const double mismatch = angle * angle / spread;
        view.Kappa *=
            std::clamp((kMaxMismatch - mismatch) / (kMaxMismatch - kMinMismatch), 0.0, 1.0);
    }
    return view;
}

double CoherentLlr(const CarrierView& view) {
    const double s2 = view.NoiseSigma * view.NoiseSigma;
    if (s2 <= 0.0 || view.Amplitude <= 0.0)
        return 0.0;
    const double a = view.Amplitude;
    // p(step | mark) with the phase von Mises around the estimate, against
    // p(step | space): the Bessel terms collapse to a·x/s² for a sure phase.
    const double along = view.Kappa + a * view.InPhase / s2;
    const double across = a * view.Quadrature / s2;
    return -a * a / (2.0 * s2) + LogBesselI0(std::hypot(along, across)) - LogBesselI0(view.Kappa);
}

}  // namespace morvane::receive::weak
