// Recovers the carrier of a keyed tone, its fine frequency and phase, from
// the mixed-down steps around each step, so that the step's evidence can be
// coherent. A transmitter's oscillator runs on while it is keyed: the phase
// carries over from one element to the next and drifts only slowly, so the
// marks of the surrounding half second fix it far better than one element
// could. Steps are weighted by how likely they are marks (the envelope's
// verdict), and the mixer's own phase is put back, so a retuned mixer is no
// phase jump. Where the window holds too little carrier (a start, noise, a
// jump or a flutter) the phase certainty says so.
#pragma once

#include <complex>
#include <vector>

namespace morvane::receive::weak {

struct CarrierTrackerConfig {
    double StepSeconds = 32.0 / 11025.0;
    // The phase of a step is taken from this many steps either side
    // (triangular weights). Longer averages more marks, shorter follows
    // drift and fading better.
    int HalfWindowSteps = 100;
    // The fine frequency is searched this far either side of the mixer's
    // tone, over the last FrequencyWindowSteps.
    double SearchHz = 6.0;
    int FrequencyWindowSteps = 344;
};

// One step seen against the recovered carrier.
struct CarrierView {
    double InPhase = 0.0;     // the step projected on the carrier
    double Quadrature = 0.0;  // the part across it
    double Amplitude = 0.0;   // the carrier's amplitude around the step
    double NoiseSigma = 0.0;  // noise per component of a step
    // Concentration of the phase estimate (von Mises): 0 unknown, about 2 on
    // noise alone, 100 within a tenth of a radian.
    double Kappa = 0.0;
    // Signal-to-noise ratio of one step, a²/2σ².
    double StepSnr() const {
        return NoiseSigma > 0.0 ? Amplitude * Amplitude / (2.0 * NoiseSigma * NoiseSigma) : 0.0;
    }
};

class CarrierTracker {
  public:
    static constexpr int kRing = 1024;

    explicit CarrierTracker(const CarrierTrackerConfig& config = {});

    // The newest mixed-down step and the mixer frequency that made it.
    void Push(std::complex<float> step, double mixHz);
    // How likely (0..1) the step `age` steps before the newest is a mark.
    void Weigh(int age, double markWeight);
    // Searches the fine frequency again (once a block is plenty).
    void Update();
    // The step `age` steps before the newest against the carrier of the
    // steps around it; `age` should be at least the half window, so that
    // the future half is weighed. The in-phase and quadrature parts are
    // averaged over `smoothHalf` steps either side. Also keeps the noise
    // estimate; call once per step.
    CarrierView Evidence(int age, int smoothHalf = 0);
    void Reset();

    // The carrier's frequency (0 before the first search).
    double CarrierHz() const { return carrierHz_; }

  private:
    struct Slot {
        std::complex<float> Step;  // mixer phase put back
        float Weight = 0.0f;
    };
    struct Half {
        std::complex<double> Sum{};
        double Weights = 0.0;
        double Squares = 0.0;
    };
    const Slot& At(long long index) const { return ring_[index & (kRing - 1)]; }
    Half Sum(long long k, long long from, long long to, double omega) const;

    CarrierTrackerConfig config_;
    std::vector<Slot> ring_;
    long long newest_ = -1;
    double mixPhase_ = 0.0;  // radians, kept within 2 pi
    double lastMixHz_ = 0.0;
    double carrierHz_ = 0.0;
    double noisePower_ = 0.0;  // per component, smoothed
    double noiseWeight_ = 0.0;
    std::vector<std::complex<double>> lowered_;  // scratch for the search
    std::vector<double> power_;
};

// Log-likelihood ratio of mark against space for one step, the carrier's
// phase marginalised over its uncertainty: linear in the in-phase part when
// the phase is known, the envelope's Rician ratio when it is not.
double CoherentLlr(const CarrierView& view);

}  // namespace morvane::receive::weak
