// The player inside quenbo-sound.so: the in-memory clip through Qt Multimedia's default
// audio output, without blocking the GUI thread. Machines without an audio device (a CI
// runner under Xvfb) play nothing.
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QObject>
#include <cstdio>
#include <mutex>

#include "qt/sound_module_api.h"

namespace {

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

class AudioOutput final : public QObject {
 public:
  ~AudioOutput() override { stop(); }

  bool play(const char* samples, std::size_t size, int channels, int sampleRate, int bits) {
    if (sampleFormat(bits) == QAudioFormat::Unknown) return false;
    QuietAudioSetup quiet;
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return false;

    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(channels);
    format.setSampleFormat(sampleFormat(bits));
    if (!device.isFormatSupported(format)) return false;

    stop();
    buffer_ = new QBuffer(this);
    buffer_->setData(samples, static_cast<qsizetype>(size));
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

  bool playing() const { return sink_ != nullptr; }

 private:
  void stop() {
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

  QAudioSink* sink_ = nullptr;
  QBuffer* buffer_ = nullptr;
};

}  // namespace

extern "C" {

int quenbo_sound_version() { return quenbo::qt::kSoundModuleVersion; }

void* quenbo_sound_create() { return new AudioOutput(); }

bool quenbo_sound_play(void* player, const char* samples, std::size_t size, int channels,
                       int sampleRate, int bitsPerSample) {
  return static_cast<AudioOutput*>(player)->play(samples, size, channels, sampleRate,
                                                 bitsPerSample);
}

bool quenbo_sound_playing(const void* player) {
  return static_cast<const AudioOutput*>(player)->playing();
}

void quenbo_sound_destroy(void* player) { delete static_cast<AudioOutput*>(player); }
}
