#pragma once
// The demo's sounds, synthesised from scratch at a given sample rate: two
// soundscapes, each with a calm base loop (follows Alpha) and a second layer
// (follows Theta), and a reward chime. Loops repeat without a click: every periodic part completes
// whole cycles within the loop, and noise loops are cross-faded into their
// own start. The same build always gives the same samples.
#include <string>
#include <vector>

#include "tools/demo_sounds/wav_file.h"

namespace demosounds {

// 48 kHz: the usual output rate of Windows and of current Linux sound servers,
// so that the demo plays without rate conversion on most machines.
constexpr int kDefaultSampleRate = 48000;

// Soundscape "Calm pads": a soft A minor chord that breathes slowly (8 s loop).
Sound calmPad(int rate);
// Its second layer: a low, warm drone on D with a slow pulse (8 s loop).
Sound thetaDrone(int rate);
// Soundscape "Ocean": surf that rolls in and out (12 s loop).
Sound oceanWaves(int rate);
// Its second layer: wind whistling through a slowly moving resonance (8 s loop).
Sound windLayer(int rate);
// The reward chime: a bell stroke of 2.5 s, then 0.5 s of silence. Scripts
// set the loop point into the silent tail, so the bell sounds once per
// restart instead of repeating.
Sound chime(int rate);

struct NamedSound {
    std::string name;  // file name without extension
    Sound (*make)(int rate);
};

// Every demo sound with the file name it is written under.
const std::vector<NamedSound>& demoSounds();

}  // namespace demosounds
