#pragma once
// The table of channels the mixer plays, numbered in load order.
//
// The main thread appends to the current entry list while it has room
// (the entries first, then the raised count) and otherwise replaces the list
// as a whole with a larger one (or, on clearing, an empty one); the mixer
// reads whichever list is current when its block starts. A replaced
// list is freed only once no mixer block that could have read it is still
// running: the mixer bumps an epoch counter when a block starts (odd) and when
// it ends (even); a list retired while the epoch was even is free at once,
// one retired during a block waits until the epoch has moved on.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_channel.h"

namespace feltrix {

struct ChannelList {
    // Entries below count are in use; raised (release) after they are written.
    std::atomic<std::uint32_t> count{0};
    std::uint32_t capacity = 0;
    std::unique_ptr<AudioChannel*[]> entries;
};

class ChannelTable {
public:
    explicit ChannelTable(int sampleRate);
    // Frees every channel (as clearChannels does) and every list.
    ~ChannelTable();
    ChannelTable(const ChannelTable&) = delete;
    ChannelTable& operator=(const ChannelTable&) = delete;

    // Output rate in Hz; slides divide by it. Set before the output starts.
    int sampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }
    void setSampleRate(int rate) { sampleRate_.store(rate, std::memory_order_relaxed); }

    // While set, the mixer writes silence and nothing advances.
    std::atomic<bool> paused{false};

    // Main thread.
    // Appends channels in their order; they play from the mixer's next block
    // on. Returns false (leaving the table as it was) when memory runs out.
    // Costs time in proportion to the channels appended (the list grows by
    // doubling).
    bool append(AudioChannel* const* channels, std::uint32_t count);
    bool append(AudioChannel* channel) { return append(&channel, 1); }
    ChannelNumber count() const;
    AudioChannel* at(ChannelNumber number) const;
    // Empties the table and hands back the channels it held, once no mixer
    // block can read them any more. Waits for a running block to end.
    std::vector<AudioChannel*> detachAll();

    // Audio thread: the list to mix in this block, and the end of the block.
    const ChannelList* audioThreadBeginBlock();
    void audioThreadEndBlock();

private:
    struct Retired {
        ChannelList* list;
        std::uint64_t epoch;
    };
    void publish(ChannelList* list);
    void reclaimRetired();

    std::atomic<int> sampleRate_;
    std::atomic<ChannelList*> current_;
    std::atomic<std::uint64_t> epoch_{0};
    std::vector<Retired> retired_;  // main thread only
};

}  // namespace feltrix
