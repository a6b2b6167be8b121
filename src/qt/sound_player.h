// Plays a RIFF/WAVE clip held in memory through the default audio output, without blocking
// the GUI thread. Machines without an audio device (a CI runner under Xvfb) play nothing.
#pragma once

#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <optional>

#include "base/text.h"

class QAudioSink;
class QBuffer;

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

class SoundPlayer final : public QObject {
 public:
  explicit SoundPlayer(QObject* parent = nullptr);
  ~SoundPlayer() override;
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // GUI thread. Starts the clip, stopping one still playing. Returns false, and plays
  // nothing, when the clip is unusable or there is no audio output.
  bool play(const Bytes& wave);
  bool playing() const { return sink_ != nullptr; }

 private:
  void stop();

  QAudioSink* sink_ = nullptr;
  QBuffer* buffer_ = nullptr;
};

}  // namespace quenbo::qt
