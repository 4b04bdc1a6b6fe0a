// The capture thread: waits for each completed half of the capture ring and,
// while reception is enabled, hands it with the chosen channel to the receive
// chain. One thread at most; stopping waits at most a second.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <span>
#include <thread>

#include "receive/BlockSource.h"

namespace morvane::receive {

// The receive chain as the capture thread sees it; called on that thread only.
class BlockSink {
  public:
    virtual ~BlockSink() = default;
    // One half of the ring (1024 interleaved stereo frames) and the channel to
    // take from it (0 left, 1 right).
    virtual void OnBlock(std::span<const std::int16_t, kHalfSamples> frames, int channel) = 0;
    // The source has nothing more (End) or failed (Error); the thread then ends.
    virtual void OnSourceEnded(ReadStatus) {}
};

class CaptureThread {
  public:
    // `receiveEnabled` belongs to whoever keys the transmitter: while it is
    // clear, halves are taken from the source but not processed.
    CaptureThread(BlockSource& source, BlockSink& sink, const std::atomic<bool>& receiveEnabled);
    ~CaptureThread();
    CaptureThread(const CaptureThread&) = delete;
    CaptureThread& operator=(const CaptureThread&) = delete;

    // Starts the thread; false when one is still running.
    bool StartCapture();
    // Asks the thread to end, wakes it and waits up to `timeout`. True when it
    // ended; otherwise it is left to finish (and joined later), and no new
    // thread can start until it has.
    bool StopCapture(std::chrono::milliseconds timeout = std::chrono::milliseconds(1000));

    // 0 left, 1 right; any other value leaves blocks unread. Takes effect at
    // the next block.
    void SetInputChannel(int channel) { InputChannel.store(channel); }

    bool IsRunning() const { return CaptureRunning.load(); }
    // True once after the thread ended because its source failed (a lost
    // device): the owner reports it a single time and may open the source
    // and start again.
    bool TakeSourceFailure() { return sourceFailed_.exchange(false); }
    std::uint64_t BlocksProcessed() const { return blocksProcessed_.load(); }

  private:
    void Run();
    bool JoinIfFinished();

    BlockSource& source_;
    BlockSink& sink_;
    const std::atomic<bool>& ReceiveEnabled;
    std::atomic<bool> CaptureStop{false};
    std::atomic<bool> CaptureRunning{false};
    std::atomic<int> InputChannel{0};
    std::atomic<std::uint64_t> blocksProcessed_{0};
    std::atomic<bool> sourceFailed_{false};
    std::thread thread_;
    std::future<void> finished_;
};

}  // namespace morvane::receive
