// Plays a RIFF/WAVE clip held in memory through the default audio output, without blocking
// the GUI thread, by way of the sound module (qt/sound_module_api.h). Machines without an
// audio device (a CI runner under Xvfb) play nothing.
#pragma once

#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "base/text.h"

namespace quenbo::qt {

// The parts of a PCM WAVE file a player needs.
struct WaveClip {
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;
  std::size_t dataOffset = 0;  // the samples: wave.substr(dataOffset, dataSize)
  std::size_t dataSize = 0;
};

// Reads the "fmt " and "data" chunks; nothing for a file that is not uncompressed PCM or
// whose chunks run past its end (a short "data" chunk is cut to what is there).
std::optional<WaveClip> parseWave(const Bytes& wave);

// Where the sound module is: beside the executable (a build tree or a portable copy), else
// in the program's library folder of an installed system. Empty when neither has it.
std::filesystem::path soundModulePath();

class SoundPlayer final : public QObject {
 public:
  // The module is loaded at the first sound and stays loaded for the rest of the process.
  explicit SoundPlayer(QObject* parent = nullptr, std::filesystem::path module = soundModulePath());
  ~SoundPlayer() override;
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // GUI thread. Starts the clip, stopping one still playing. Returns false, and plays
  // nothing, when the clip is unusable, the module is missing or of another version, or
  // there is no audio output.
  bool play(const Bytes& wave);
  bool playing() const;
  // Whether the module was found and loaded (after the first play).
  bool moduleLoaded() const { return output_ != nullptr; }

 private:
  struct Module;
  const Module* load();

  std::filesystem::path modulePath_;
  bool tried_ = false;
  std::unique_ptr<const Module> module_;  // once loaded and a player made
  void* output_ = nullptr;  // the module's player
};

}  // namespace quenbo::qt
