#pragma once
// The demo's sounds, synthesised from scratch: two soundscapes, each with a
// calm base loop (follows Alpha) and a second layer (follows Theta), and a
// reward chime. Loops repeat without a click: every periodic part completes
// whole cycles within the loop, and noise loops are cross-faded into their
// own start. The same build always gives the same samples.
#include <string>
#include <vector>

#include "tools/demo_sounds/wav_file.h"

namespace demosounds {

constexpr int kSampleRate = 44100;

// Soundscape "Calm pads": a soft A minor chord that breathes slowly (8 s loop).
Sound calmPad();
// Its second layer: a low, warm drone on D with a slow pulse (8 s loop).
Sound thetaDrone();
// Soundscape "Ocean": surf that rolls in and out (12 s loop).
Sound oceanWaves();
// Its second layer: wind whistling through a slowly moving resonance (8 s loop).
Sound windLayer();
// The reward chime: a bell stroke of 2.5 s, then 0.5 s of silence. Scripts
// set the loop point into the silent tail, so the bell sounds once per
// restart instead of repeating.
Sound chime();

struct NamedSound {
    std::string name;  // file name without extension
    Sound (*make)();
};

// Every demo sound with the file name it is written under.
const std::vector<NamedSound>& demoSounds();

}  // namespace demosounds
