// Random sequences of To Do list commands over the simulated workspace, seeded and
// reproducible. The seed is printed; QRC_SEQUENCE_SEED chooses another one,
// QRC_SEQUENCE_COUNT the number of sequences and QRC_SEQUENCE_INDEX replays one.
// QRC_SEQUENCE_SHARDS=n with QRC_SEQUENCE_SHARD=k (0 <= k < n) runs every n-th batch from
// the k-th, so that n processes share the sequences; each sequence stays the same.
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <iostream>
#include "sequences_runner.h"

namespace {

constexpr uint64_t kDefaultSeed = 20261206;
constexpr int kDefaultCount = 1000;
constexpr int kBatch = 50;

} // namespace

TEST(CommandSequences, EverySequenceLeavesAWellFormedWorkspaceNumberedOneToN) {
    const uint64_t seed = EnvironmentNumber(L"QRC_SEQUENCE_SEED", kDefaultSeed);
    const int count = static_cast<int>(EnvironmentNumber(L"QRC_SEQUENCE_COUNT", kDefaultCount));
    const uint64_t only = EnvironmentNumber(L"QRC_SEQUENCE_INDEX", UINT64_MAX);
    const int shards = static_cast<int>(std::max<uint64_t>(1, EnvironmentNumber(L"QRC_SEQUENCE_SHARDS", 1)));
    const int shard = static_cast<int>(EnvironmentNumber(L"QRC_SEQUENCE_SHARD", 0));
    ASSERT_LT(shard, shards);
    std::cout << "[ sequences ] seed " << seed << (only != UINT64_MAX ? ", index " + std::to_string(only) : "")
              << std::endl;
    auto start = std::chrono::steady_clock::now();
    int run = 0, commands = 0, failedBatches = 0;
    auto add = [&](const BatchResult& batch) {
        run += batch.sequences;
        commands += batch.commands;
        if (batch.failed) ++failedBatches;
    };
    int expected = 0;
    if (only != UINT64_MAX) {
        expected = 1;
        add(RunSequenceBatch(seed, static_cast<int>(only), 1));
    } else {
        // Several sequences share one opening of the dialog; a failed one ends its batch.
        for (int first = shard * kBatch; first < count; first += shards * kBatch) {
            expected += std::min(kBatch, count - first);
            if (failedBatches < 3) add(RunSequenceBatch(seed, first, std::min(kBatch, count - first)));
        }
    }
    ASSERT_GT(expected, 0) << "no sequence falls to shard " << shard << " of " << shards << " of " << count;
    if (failedBatches == 0) {
        EXPECT_EQ(expected, run) << "sequences run";
        EXPECT_GE(commands, 3 * run) << "every sequence carries out three commands at least";
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ sequences ] " << run << " sequences, " << commands << " commands, seed " << seed;
    if (shards > 1) std::cout << ", shard " << shard << " of " << shards;
    std::cout << ", " << seconds << " s" << std::endl;
}
