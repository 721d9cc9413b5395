#pragma once

#include <string>

namespace vq {

// Plays a WAVE file on the sound device without waiting for it; a new sound stops the one playing.
// One player thread reads and plays the file. A file that cannot be read or played plays nothing,
// silently.
void PlaySoundFile(const std::string& path);
// The ALSA device sounds go to; "default" unless set.
void SetSoundDevice(const std::string& device);
// Waits until the player has nothing left to play.
void WaitForSound();

} // namespace vq
