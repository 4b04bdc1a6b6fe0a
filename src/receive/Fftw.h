// Small RAII helpers over FFTW: aligned buffers and plans. FFTW's planner is
// not thread-safe, so every plan is made and destroyed under one lock.
#pragma once

#include <fftw3.h>

#include <complex>
#include <cstddef>
#include <mutex>

namespace morvane::receive {

// The lock around FFTW plan creation and destruction for this process.
std::mutex& FftwPlannerMutex();

template <typename T>
class FftwBuffer {
  public:
    explicit FftwBuffer(std::size_t size)
        : data_(static_cast<T*>(fftw_malloc(sizeof(T) * size))), size_(size) {
        for (std::size_t i = 0; i < size_; ++i)
            data_[i] = T{};
    }
    ~FftwBuffer() { fftw_free(data_); }
    FftwBuffer(const FftwBuffer&) = delete;
    FftwBuffer& operator=(const FftwBuffer&) = delete;

    T* data() { return data_; }
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

  private:
    T* data_;
    std::size_t size_;
};

using RealBuffer = FftwBuffer<double>;
using ComplexBuffer = FftwBuffer<std::complex<double>>;

// One real-to-complex or complex-to-real plan of `size` points on fixed
// buffers; Execute runs it on those buffers.
class FftwPlan {
  public:
    static FftwPlan RealToComplex(int size, RealBuffer& in, ComplexBuffer& out);
    static FftwPlan ComplexToReal(int size, ComplexBuffer& in, RealBuffer& out);
    ~FftwPlan();
    FftwPlan(FftwPlan&& other) noexcept : plan_(other.plan_) { other.plan_ = nullptr; }
    FftwPlan& operator=(FftwPlan&&) = delete;
    FftwPlan(const FftwPlan&) = delete;
    FftwPlan& operator=(const FftwPlan&) = delete;

    void Execute() const { fftw_execute(plan_); }

  private:
    explicit FftwPlan(fftw_plan plan) : plan_(plan) {}
    fftw_plan plan_;
};

}  // namespace morvane::receive
