#include "common/MessageQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace morvane::common {
namespace {

TEST(MessageQueue, KeepsEachProducersOrderAndLosesNothing) {
    MessageQueue<std::pair<int, int>> queue;
    constexpr int kPerProducer = 5000;
    std::vector<std::jthread> producers;
    for (int p = 0; p < 3; ++p)
        producers.emplace_back([&queue, p] {
            for (int i = 0; i < kPerProducer; ++i)
                queue.Push({p, i});
        });

    std::vector<int> next(3, 0);
    int received = 0;
    while (received < 3 * kPerProducer) {
        auto item = queue.PopFor(std::chrono::seconds(5));
        ASSERT_TRUE(item.has_value()) << "a producer's value went missing";
        EXPECT_EQ(item->second, next[item->first]++);
        ++received;
    }
    EXPECT_TRUE(queue.Empty());
    EXPECT_FALSE(queue.TryPop().has_value());
}

TEST(MessageQueue, DrainTakesAllInOrder) {
    MessageQueue<std::string> queue;
    queue.Push("RX> ");
    queue.Push("CQ");
    auto all = queue.Drain();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0], "RX> ");
    EXPECT_EQ(all[1], "CQ");
    EXPECT_TRUE(queue.Drain().empty());
}

}  // namespace
}  // namespace morvane::common
