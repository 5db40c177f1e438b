#include "audio/channel_table.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <new>
#include <thread>

namespace feltrix {

ChannelTable::ChannelTable(int sampleRate) : sampleRate_(sampleRate), current_(new ChannelList) {}

ChannelTable::~ChannelTable() {
    for (AudioChannel* channel : detachAll()) releaseFromTable(channel);
    reclaimRetired();
    delete current_.load();
}

bool ChannelTable::append(AudioChannel* const* channels, std::uint32_t count) {
    reclaimRetired();
    ChannelList* old = current_.load(std::memory_order_relaxed);
    const std::uint32_t used = old->count.load(std::memory_order_relaxed);
    if (count > UINT32_MAX - used) return false;
    if (count <= old->capacity - used) {
        // Room left: the mixer sees the new entries once the count says so.
        for (std::uint32_t i = 0; i < count; ++i) old->entries[used + i] = channels[i];
        old->count.store(used + count, std::memory_order_release);
        return true;
    }
    std::uint64_t capacity = std::max<std::uint64_t>(16, 2ull * old->capacity);
    capacity = std::min<std::uint64_t>(std::max<std::uint64_t>(capacity, std::uint64_t{used} + count), UINT32_MAX);
    std::unique_ptr<ChannelList> list(new (std::nothrow) ChannelList);
    if (!list) return false;
    list->entries.reset(new (std::nothrow) AudioChannel*[capacity]);
    if (!list->entries) return false;
    list->capacity = static_cast<std::uint32_t>(capacity);
    std::copy(old->entries.get(), old->entries.get() + used, list->entries.get());
    std::copy(channels, channels + count, list->entries.get() + used);
    list->count.store(used + count, std::memory_order_relaxed);
    publish(list.release());
    return true;
}

ChannelNumber ChannelTable::count() const { return current_.load(std::memory_order_relaxed)->count; }

AudioChannel* ChannelTable::at(ChannelNumber number) const {
    const ChannelList* list = current_.load(std::memory_order_relaxed);
    return number < list->count ? list->entries[number] : nullptr;
}

std::vector<AudioChannel*> ChannelTable::detachAll() {
    const ChannelList* old = current_.load(std::memory_order_relaxed);
    std::vector<AudioChannel*> channels(old->entries.get(), old->entries.get() + old->count.load());
    ChannelList* empty = new ChannelList;
    publish(empty);
    // The channels themselves must outlast every block that could still mix
    // them: wait until the retired list is gone.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!retired_.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
        reclaimRetired();
    }
    if (!retired_.empty()) {
        // A mixer block that never ends: keep the channels alive (leak them)
        // rather than free memory it may still read.
        return {};
    }
    return channels;
}

void ChannelTable::publish(ChannelList* list) {
    ChannelList* old = current_.exchange(list, std::memory_order_seq_cst);
    // Sequentially consistent with the mixer's epoch bump and list load: a
    // block that starts after this load of the epoch sees the new list.
    const std::uint64_t epoch = epoch_.load(std::memory_order_seq_cst);
    if (epoch % 2 == 0) {
        delete old;
    } else {
        retired_.push_back(Retired{old, epoch});
    }
}

void ChannelTable::reclaimRetired() {
    if (retired_.empty()) return;
    const std::uint64_t epoch = epoch_.load(std::memory_order_seq_cst);
    std::size_t kept = 0;
    for (const Retired& entry : retired_) {
        if (entry.epoch != epoch) {
            delete entry.list;
        } else {
            retired_[kept++] = entry;
        }
    }
    retired_.resize(kept);
}

const ChannelList* ChannelTable::audioThreadBeginBlock() {
    epoch_.fetch_add(1, std::memory_order_seq_cst);
    return current_.load(std::memory_order_seq_cst);
}

void ChannelTable::audioThreadEndBlock() { epoch_.fetch_add(1, std::memory_order_release); }

}  // namespace feltrix
