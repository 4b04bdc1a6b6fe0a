#include "receive/CaptureThread.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    explicit FakeSource(std::chrono::microseconds period) : period_(period) {}
    void Reset(std::chrono::microseconds period, int limit, ReadStatus atLimit = ReadStatus::End) {
        period_ = period;
        limit_ = limit;
        atLimit_ = atLimit;
    }

    ReadStatus WaitHalf(std::span<std::int16_t, kHalfSamples> frames) override {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, period_, [this] { return interrupted_; })) {
            if (limit_ >= 0 && next_ >= limit_) {
                ++endsReported_;
                return atLimit_;
            }
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
    int EndsReported() {
        std::lock_guard lock(mutex_);
        return endsReported_;
    }

  private:
    std::chrono::microseconds period_;
    int limit_ = -1;
    ReadStatus atLimit_ = ReadStatus::End;
    int endsReported_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool interrupted_ = false;
    int next_ = 0;
};

// Records the first sample of each block (kTorn when the block mixes
// values); can be made to hang in a block.
constexpr int kTorn = -99999;
class RecordingSink : public BlockSink {
  public:
    void OnBlock(std::span<const std::int16_t, kHalfSamples> frames, int channel) override {
        std::unique_lock lock(mutex_);
        bool whole = true;
        for (std::size_t f = 0; f < kHalfFrames; ++f)
            whole = whole && frames[2 * f + channel] == frames[channel];
        values_.push_back(whole ? frames[channel] : kTorn);
        changed_.notify_all();
        changed_.wait(lock, [this] { return !hold_; });
    }
    void OnSourceEnded(ReadStatus status) override {
        Update([&] { ended_ = status; });
    }
    void Hold(bool hold) {
        Update([&] { hold_ = hold; });
    }
    // Wait up to 5 s for at least n blocks, or for the end; return what came.
    std::vector<int> WaitFor(std::size_t n) {
        return Await([&] { return values_.size() >= n; }).first;
    }
    std::optional<ReadStatus> WaitEnded() {
        return Await([&] { return ended_.has_value(); }).second;
    }

  private:
    template <class F>
    void Update(F change) {
        {
            std::lock_guard lock(mutex_);
            change();
        }
        changed_.notify_all();
    }
    template <class P>
    std::pair<std::vector<int>, std::optional<ReadStatus>> Await(P done) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 5s, done);
        return {values_, ended_};
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> values_;
    bool hold_ = false;
    std::optional<ReadStatus> ended_;
};

// One capture thread over a fake source; `enabled` is receive on or off.
struct CaptureThreadTest : testing::Test {
    FakeSource source{1ms};
    RecordingSink sink;
    std::atomic<bool> enabled{true};
    CaptureThread capture{source, sink, enabled};
    std::size_t Delivered() { return sink.WaitFor(0).size(); }
};

struct CaptureThreadEnding : CaptureThreadTest {
    CaptureThreadEnding() { source.Reset(100us, 7); }
};

TEST_F(CaptureThreadTest, DeliversBlocksInOrderStopsAndRestarts) {
    ASSERT_TRUE(capture.StartCapture());
    EXPECT_FALSE(capture.StartCapture()) << "a second thread must not start";
    auto values = sink.WaitFor(20);
    ASSERT_GE(values.size(), 20u);
    for (std::size_t i = 1; i < values.size(); ++i)
        ASSERT_EQ(values[i], values[i - 1] + 1);  // in order and never torn

    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(capture.StopCapture());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 500ms);
    EXPECT_FALSE(capture.IsRunning());
    const std::size_t stopped = Delivered();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(Delivered(), stopped) << "blocks arrived after StopCapture";

    ASSERT_TRUE(capture.StartCapture());
    EXPECT_GT(sink.WaitFor(stopped + 5).size(), stopped + 4);
    EXPECT_TRUE(capture.StopCapture());
}

TEST_F(CaptureThreadTest, ReceiveDisabledSkipsBlocksAndChannelSwitchesAtNextBlock) {
    enabled = false;
    ASSERT_TRUE(capture.StartCapture());
    while (source.Produced() < 10)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(Delivered(), 0u);
    EXPECT_EQ(capture.BlocksProcessed(), 0u);

    enabled = true;
    auto values = sink.WaitFor(3);
    ASSERT_GE(values.size(), 3u);
    EXPECT_GE(values.front(), 10) << "skipped blocks must not be processed later";
    capture.SetInputChannel(1);
    values = sink.WaitFor(Delivered() + 3);
    EXPECT_LT(values.back(), 0) << "right channel carries the negated number";
    EXPECT_EQ(std::count(values.begin(), values.end(), kTorn), 0);

    capture.SetInputChannel(3);  // not chosen yet: nothing is read
    const std::size_t unchosen = Delivered() + 1;
    std::this_thread::sleep_for(30ms);
    EXPECT_LE(Delivered(), unchosen);
    EXPECT_TRUE(capture.StopCapture());
}

TEST_F(CaptureThreadTest, StopGivesUpAfterTimeoutAndNoSecondThreadStarts) {
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
    EXPECT_EQ(Delivered(), 1u);
    EXPECT_TRUE(capture.StartCapture());
}

TEST_F(CaptureThreadEnding, EndOfSourceEndsTheThread) {
    ASSERT_TRUE(capture.StartCapture());
    EXPECT_EQ(sink.WaitEnded(), ReadStatus::End);
    EXPECT_EQ(sink.WaitFor(7), (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(capture.StopCapture());
    EXPECT_FALSE(capture.TakeSourceFailure()) << "the end of a file is no failure";
}

TEST_F(CaptureThreadTest, AFailedSourceEndsTheThreadAndIsReportedOnceUntilRestarted) {
    source.Reset(100us, 4, ReadStatus::Error);
    ASSERT_TRUE(capture.StartCapture());
    EXPECT_EQ(sink.WaitEnded(), ReadStatus::Error);
    EXPECT_EQ(sink.WaitFor(4).size(), 4u);
    for (int i = 0; i < 200 && capture.IsRunning(); ++i)
        std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(capture.IsRunning()) << "the thread must end, not wait on a dead source";
    EXPECT_EQ(source.EndsReported(), 1) << "a failed source is not read again";
    EXPECT_TRUE(capture.TakeSourceFailure());
    EXPECT_FALSE(capture.TakeSourceFailure()) << "reported once";

    // The source is opened again (device replugged): capture starts anew.
    source.Reset(100us, -1);
    ASSERT_TRUE(capture.StartCapture());
    EXPECT_GE(sink.WaitFor(8).size(), 8u);
    EXPECT_TRUE(capture.StopCapture());
    EXPECT_FALSE(capture.TakeSourceFailure());
}

}  // namespace
}  // namespace morvane::receive
