#include "qt/sound_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <cstdio>
#include <mutex>

namespace quenbo::qt {
namespace {

std::uint32_t read32(const Bytes& b, std::size_t at) {
  auto u = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + i]));
  };
  return u(0) | (u(1) << 8) | (u(2) << 16) | (u(3) << 24);
}

std::uint16_t read16(const Bytes& b, std::size_t at) {
  auto u = [&](std::size_t i) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at + i]));
  };
  return static_cast<std::uint16_t>(u(0) | (u(1) << 8));
}

QAudioFormat::SampleFormat sampleFormat(int bits) {
  switch (bits) {
    case 8:
      return QAudioFormat::UInt8;
    case 16:
      return QAudioFormat::Int16;
    case 32:
      return QAudioFormat::Int32;
    default:
      return QAudioFormat::Unknown;
  }
}

// Qt's audio back-end writes a warning when there is no sound server ("PulseAudioService:
// pa_context_connect() failed"). Staying silent then is this player's documented way, so
// the warnings raised on this thread while the device is looked up and opened are dropped;
// other threads' messages pass on.
class QuietAudioSetup final {
 public:
  QuietAudioSetup() {
    quiet_ = true;
    std::call_once(installed_,
                   [] { previous_ = qInstallMessageHandler(&QuietAudioSetup::handle); });
  }
  ~QuietAudioSetup() { quiet_ = false; }
  QuietAudioSetup(const QuietAudioSetup&) = delete;
  QuietAudioSetup& operator=(const QuietAudioSetup&) = delete;

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (quiet_ && (type == QtWarningMsg || type == QtDebugMsg || type == QtInfoMsg)) return;
    if (previous_) {
      previous_(type, context, message);
    } else {
      std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
  }

  static thread_local bool quiet_;                     // this thread is inside a setup
  static inline QtMessageHandler previous_ = nullptr;  // written once, before any use
  static inline std::once_flag installed_;
};

thread_local bool QuietAudioSetup::quiet_ = false;

}  // namespace

std::optional<WaveClip> parseWave(const Bytes& wave) {
  if (wave.size() < 12 || wave.compare(0, 4, "RIFF") != 0 || wave.compare(8, 4, "WAVE") != 0) {
    return std::nullopt;
  }
  WaveClip clip;
  bool haveFormat = false;
  std::size_t at = 12;
  while (at + 8 <= wave.size()) {
    std::string_view id(wave.data() + at, 4);
    std::size_t size = read32(wave, at + 4);
    std::size_t body = at + 8;
    if (id == "fmt ") {
      if (size < 16 || body + 16 > wave.size() || read16(wave, body) != 1) return std::nullopt;
      clip.channels = read16(wave, body + 2);
      clip.sampleRate = static_cast<int>(read32(wave, body + 4));
      clip.bitsPerSample = read16(wave, body + 14);
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat) return std::nullopt;
      clip.dataOffset = body;
      clip.dataSize = std::min(size, wave.size() - body);
      if (clip.channels <= 0 || clip.sampleRate <= 0 || clip.bitsPerSample <= 0)
        return std::nullopt;
      return clip;
    }
    if (size > wave.size()) return std::nullopt;
    at = body + size + (size & 1);  // chunks are padded to an even length
  }
  return std::nullopt;
}

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() {
  stop();
}

bool SoundPlayer::play(const Bytes& wave) {
  auto clip = parseWave(wave);
  if (!clip || sampleFormat(clip->bitsPerSample) == QAudioFormat::Unknown) return false;
  QuietAudioSetup quiet;
  QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return false;

  QAudioFormat format;
  format.setSampleRate(clip->sampleRate);
  format.setChannelCount(clip->channels);
  format.setSampleFormat(sampleFormat(clip->bitsPerSample));
  if (!device.isFormatSupported(format)) return false;

  stop();
  buffer_ = new QBuffer(this);
  buffer_->setData(wave.data() + clip->dataOffset, static_cast<qsizetype>(clip->dataSize));
  buffer_->open(QIODevice::ReadOnly);
  sink_ = new QAudioSink(device, format, this);
  // The sink pulls from the buffer on its own; when the clip has run out it goes idle.
  connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
    if (state == QAudio::IdleState || state == QAudio::StoppedState) stop();
  });
  sink_->start(buffer_);
  if (sink_ && sink_->error() != QAudio::NoError) {
    stop();
    return false;
  }
  return true;
}

void SoundPlayer::stop() {
  if (sink_) {
    QAudioSink* sink = sink_;
    sink_ = nullptr;
    sink->disconnect(this);
    sink->stop();
    sink->deleteLater();
  }
  if (buffer_) {
    buffer_->deleteLater();
    buffer_ = nullptr;
  }
}

}  // namespace quenbo::qt
