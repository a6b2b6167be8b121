// The completion sound is played by a module of its own, quenbo-sound.so, loaded at the
// first sound. It links Qt Multimedia, whose libraries and audio stack would otherwise be
// loaded, and their symbols bound, at every start of the program, each command-line run
// included. Its entry points are plain C functions, so a module and a program from
// different builds still fit together.
#pragma once

#include <cstddef>

namespace quenbo::qt {

inline constexpr const char* kSoundModuleFile = "quenbo-sound.so";
inline constexpr int kSoundModuleVersion = 1;  // changes whenever an entry point does

}  // namespace quenbo::qt

extern "C" {

// kSoundModuleVersion of the module's build.
int quenbo_sound_version();
// GUI thread, with the Qt application running. A player, or null when the module cannot
// make one.
void* quenbo_sound_create();
// Starts uncompressed PCM samples (copied), stopping what still plays. False, and nothing
// plays, when there is no audio output or it does not take the format.
bool quenbo_sound_play(void* player, const char* samples, std::size_t size, int channels,
                       int sampleRate, int bitsPerSample);
bool quenbo_sound_playing(const void* player);
void quenbo_sound_destroy(void* player);
}
