#pragma once
// The table of channels the mixer plays, numbered in load order.
//
// The main thread replaces the table's entry list as a whole (append, clear);
// the mixer reads whichever list is current when its block starts. A replaced
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
    std::uint32_t count = 0;
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
    // Appends a channel; it plays from the mixer's next block on. Returns
    // false (leaving the table as it was) when memory runs out.
    bool append(AudioChannel* channel);
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
