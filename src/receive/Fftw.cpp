#include "receive/Fftw.h"

#include <stdexcept>

namespace morvane::receive {

namespace {

// MEASURE overwrites the buffers while planning; plans are made before use.
constexpr unsigned kPlanFlags = FFTW_MEASURE;

fftw_complex* AsFftw(ComplexBuffer& b) {
    return reinterpret_cast<fftw_complex*>(b.data());
}

}  // namespace

std::mutex& FftwPlannerMutex() {
    static std::mutex mutex;
    return mutex;
}

FftwPlan FftwPlan::RealToComplex(int size, RealBuffer& in, ComplexBuffer& out) {
    if (in.size() < static_cast<std::size_t>(size) ||
        out.size() < static_cast<std::size_t>(size / 2 + 1))
        throw std::invalid_argument("FFT buffers too small");
    std::lock_guard lock(FftwPlannerMutex());
    return FftwPlan(fftw_plan_dft_r2c_1d(size, in.data(), AsFftw(out), kPlanFlags));
}

FftwPlan FftwPlan::ComplexToReal(int size, ComplexBuffer& in, RealBuffer& out) {
    if (out.size() < static_cast<std::size_t>(size) ||
        in.size() < static_cast<std::size_t>(size / 2 + 1))
        throw std::invalid_argument("FFT buffers too small");
    std::lock_guard lock(FftwPlannerMutex());
    return FftwPlan(fftw_plan_dft_c2r_1d(size, AsFftw(in), out.data(), kPlanFlags));
}

FftwPlan::~FftwPlan() {
    if (plan_ == nullptr)
        return;
    std::lock_guard lock(FftwPlannerMutex());
    fftw_destroy_plan(plan_);
}

}  // namespace morvane::receive
