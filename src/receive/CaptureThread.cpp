#include "receive/CaptureThread.h"

#include <array>

namespace morvane::receive {

CaptureThread::CaptureThread(BlockSource& source, BlockSink& sink,
                             const std::atomic<bool>& receiveEnabled)
    : source_(source), sink_(sink), ReceiveEnabled(receiveEnabled) {}

CaptureThread::~CaptureThread() {
    CaptureStop = true;
    source_.Interrupt();
    if (thread_.joinable())
        thread_.join();
}

bool CaptureThread::JoinIfFinished() {
    if (!thread_.joinable())
        return true;
    if (finished_.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
        return false;
    thread_.join();
    return true;
}

bool CaptureThread::StartCapture() {
    if (!JoinIfFinished())
        return false;
    CaptureStop = false;
    sourceFailed_ = false;
    std::promise<void> done;
    finished_ = done.get_future();
    CaptureRunning = true;
    thread_ = std::thread([this, done = std::move(done)]() mutable {
        Run();
        CaptureRunning = false;
        done.set_value();
    });
    return true;
}

bool CaptureThread::StopCapture(std::chrono::milliseconds timeout) {
    if (!thread_.joinable())
        return true;
    CaptureStop = true;
    source_.Interrupt();
    if (finished_.wait_for(timeout) != std::future_status::ready)
        return false;
    thread_.join();
    CaptureStop = false;
    return true;
}

void CaptureThread::Run() {
    std::array<std::int16_t, kHalfSamples> frames{};
    while (!CaptureStop) {
        const ReadStatus status = source_.WaitHalf(frames);
        if (status == ReadStatus::End || status == ReadStatus::Error) {
            sourceFailed_ = status == ReadStatus::Error;
            sink_.OnSourceEnded(status);
            return;
        }
        if (status != ReadStatus::Block || CaptureStop)
            continue;
        const int channel = InputChannel.load();
        if (!ReceiveEnabled || (channel != 0 && channel != 1))
            continue;
        sink_.OnBlock(frames, channel);
        ++blocksProcessed_;
    }
}

}  // namespace morvane::receive
