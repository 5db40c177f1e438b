#pragma once
// Voices a sound reader has made that are not in the channel table yet. They
// are freed with this object unless handed over with release().
#include <cstdint>
#include <utility>
#include <vector>

#include "audio/audio_channel.h"

namespace feltrix {

class NewVoices {
public:
    NewVoices() = default;
    ~NewVoices() {
        for (AudioChannel* voice : voices_) freeAudioChannel(voice);
    }
    NewVoices(const NewVoices&) = delete;
    NewVoices& operator=(const NewVoices&) = delete;

    // Makes `count` more voices of `frames` frames each at `sourceRate`;
    // false when memory runs out (what was made stays here and is freed).
    // May throw std::bad_alloc.
    bool make(int count, std::uint64_t frames, std::uint32_t sourceRate) {
        for (int i = 0; i < count; ++i) {
            AudioChannel* voice = newAudioChannel();
            if (voice == nullptr) return false;
            voices_.push_back(voice);
            if (!allocateChannelSamples(voice, frames)) return false;
            voice->sourceRate = sourceRate;
        }
        return true;
    }
    std::size_t size() const { return voices_.size(); }
    AudioChannel* operator[](std::size_t index) const { return voices_[index]; }
    const std::vector<AudioChannel*>& voices() const { return voices_; }
    // Hands the voices over; this object is empty afterwards.
    std::vector<AudioChannel*> release() { return std::exchange(voices_, {}); }

private:
    std::vector<AudioChannel*> voices_;
};

}  // namespace feltrix
