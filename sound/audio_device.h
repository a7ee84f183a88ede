// audio_device.h: the default SDL audio device, playing the mixer's output
// until the process exits.
#pragma once

// Opens the device at mix_rate Hz, stereo, and starts it; the mixer fills
// every buffer on SDL's audio thread. Opens once: later calls report the
// first call's result. Returns false when there is no device to open.
bool open_audio_device(int mix_rate);
