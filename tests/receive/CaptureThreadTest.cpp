#include "receive/CaptureThread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace morvane::receive {
namespace {

using namespace std::chrono_literals;

// Produces numbered halves every `period`: left samples carry the number,
// right samples its negation. Interrupt wakes a waiting read at once.
class FakeSource : public BlockSource {
  public:
    explicit FakeSource(std::chrono::microseconds period, int limit = -1)
        : period_(period), limit_(limit) {}

    ReadStatus WaitHalf(std::span<std::int16_t, kHalfSamples> frames) override {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, period_, [this] { return interrupted_; })) {
            if (limit_ >= 0 && next_ >= limit_)
                return ReadStatus::End;
            for (std::size_t f = 0; f < kHalfFrames; ++f) {
                frames[2 * f] = static_cast<std::int16_t>(next_);
                frames[2 * f + 1] = static_cast<std::int16_t>(-next_);
            }
            ++next_;
            return ReadStatus::Block;
        }
        interrupted_ = false;
        return ReadStatus::Interrupted;
    }
    void Interrupt() override {
        {
            std::lock_guard lock(mutex_);
            interrupted_ = true;
        }
        wake_.notify_all();
    }
    int Produced() {
        std::lock_guard lock(mutex_);
        return next_;
    }

  private:
    std::chrono::microseconds period_;
    int limit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool interrupted_ = false;
    int next_ = 0;
};

// Records the first sample of each block; can be made to hang in a block.
class RecordingSink : public BlockSink {
  public:
    void OnBlock(std::span<const std::int16_t, kHalfSamples> frames, int channel) override {
        std::unique_lock lock(mutex_);
        values_.push_back(frames[channel]);
        for (std::size_t f = 0; f < kHalfFrames; ++f)
            if (frames[2 * f + channel] != frames[channel])
                wholeBlocks_ = false;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !hold_; });
    }
    void OnSourceEnded(ReadStatus status) override {
        std::lock_guard lock(mutex_);
        ended_ = status;
        changed_.notify_all();
    }
    // Waits until at least n blocks arrived; returns them.
    std::vector<int> WaitFor(std::size_t n) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 5s, [&] { return values_.size() >= n; });
        return values_;
    }
    std::optional<ReadStatus> WaitEnded() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 5s, [&] { return ended_.has_value(); });
        return ended_;
    }
    void Hold(bool hold) {
        {
            std::lock_guard lock(mutex_);
            hold_ = hold;
        }
        changed_.notify_all();
    }
    bool WholeBlocks() {
        std::lock_guard lock(mutex_);
        return wholeBlocks_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> values_;
    bool hold_ = false;
    bool wholeBlocks_ = true;
    std::optional<ReadStatus> ended_;
};

TEST(CaptureThread, DeliversBlocksInOrderStopsAndRestarts) {
    FakeSource source(1ms);
    RecordingSink sink;
    std::atomic<bool> enabled{true};
    CaptureThread capture(source, sink, enabled);
    ASSERT_TRUE(capture.StartCapture());
    EXPECT_FALSE(capture.StartCapture()) << "a second thread must not start";
    auto values = sink.WaitFor(20);
    ASSERT_GE(values.size(), 20u);
    for (std::size_t i = 1; i < values.size(); ++i)
        ASSERT_EQ(values[i], values[i - 1] + 1);
    EXPECT_TRUE(sink.WholeBlocks());

    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(capture.StopCapture());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
    EXPECT_FALSE(capture.IsRunning());
    const std::size_t stopped = sink.WaitFor(0).size();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(sink.WaitFor(0).size(), stopped) << "blocks arrived after StopCapture";

    ASSERT_TRUE(capture.StartCapture());
    EXPECT_GT(sink.WaitFor(stopped + 5).size(), stopped + 4);
    EXPECT_TRUE(capture.StopCapture());
}

TEST(CaptureThread, ReceiveDisabledSkipsBlocksAndChannelSwitchesAtNextBlock) {
    FakeSource source(1ms);
    RecordingSink sink;
    std::atomic<bool> enabled{false};
    CaptureThread capture(source, sink, enabled);
    ASSERT_TRUE(capture.StartCapture());
    while (source.Produced() < 10)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(sink.WaitFor(0).empty());
    EXPECT_EQ(capture.BlocksProcessed(), 0u);

    enabled = true;
    auto values = sink.WaitFor(3);
    ASSERT_GE(values.size(), 3u);
    EXPECT_GE(values.front(), 10) << "skipped blocks must not be processed later";
    capture.SetInputChannel(1);
    const std::size_t switched = sink.WaitFor(0).size();
    values = sink.WaitFor(switched + 3);
    EXPECT_LT(values.back(), 0) << "right channel carries the negated number";
    EXPECT_TRUE(sink.WholeBlocks());

    capture.SetInputChannel(3);  // not chosen yet: nothing is read
    const std::size_t unchosen = sink.WaitFor(0).size() + 1;
    std::this_thread::sleep_for(30ms);
    EXPECT_LE(sink.WaitFor(0).size(), unchosen);
    EXPECT_TRUE(capture.StopCapture());
}

TEST(CaptureThread, StopGivesUpAfterTimeoutAndNoSecondThreadStarts) {
    FakeSource source(1ms);
    RecordingSink sink;
    std::atomic<bool> enabled{true};
    CaptureThread capture(source, sink, enabled);
    sink.Hold(true);  // the chain hangs inside its first block
    ASSERT_TRUE(capture.StartCapture());
    sink.WaitFor(1);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_FALSE(capture.StopCapture(200ms));
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_GE(waited, 200ms);
    EXPECT_LT(waited, 1000ms);
    EXPECT_FALSE(capture.StartCapture()) << "old thread still inside the chain";
    sink.Hold(false);
    EXPECT_TRUE(capture.StopCapture());
    EXPECT_EQ(sink.WaitFor(0).size(), 1u);
    EXPECT_TRUE(capture.StartCapture());
}

TEST(CaptureThread, EndOfSourceEndsTheThread) {
    FakeSource source(100us, 7);
    RecordingSink sink;
    std::atomic<bool> enabled{true};
    CaptureThread capture(source, sink, enabled);
    ASSERT_TRUE(capture.StartCapture());
    EXPECT_EQ(sink.WaitEnded(), ReadStatus::End);
    EXPECT_EQ(sink.WaitFor(7), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(capture.StopCapture());
}

}  // namespace
}  // namespace morvane::receive
