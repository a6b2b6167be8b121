#include "qt/sound_player.h"

#include <dlfcn.h>

#include <system_error>

#include "base/files.h"
#include "qt/sound_module_api.h"

// Where the program's modules are installed, relative to its executable's folder.
#ifndef QUENBO_MODULES_FROM_BIN
#define QUENBO_MODULES_FROM_BIN "../lib/quenbo/modules"
#endif

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

std::filesystem::path soundModulePath() {
  const std::filesystem::path here = executableDirectory();
  for (const std::filesystem::path& candidate :
       {here / kSoundModuleFile, here / QUENBO_MODULES_FROM_BIN / kSoundModuleFile}) {
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate.lexically_normal();
  }
  return {};
}

struct SoundPlayer::Module {
  decltype(&quenbo_sound_create) create = nullptr;
  decltype(&quenbo_sound_play) play = nullptr;
  decltype(&quenbo_sound_playing) playing = nullptr;
  decltype(&quenbo_sound_destroy) destroy = nullptr;
};

SoundPlayer::SoundPlayer(QObject* parent, std::filesystem::path module)
    : QObject(parent), modulePath_(std::move(module)) {}

SoundPlayer::~SoundPlayer() {
  if (output_) module_->destroy(output_);
}

// The module is never unloaded: Qt keeps what its libraries registered until the end.
const SoundPlayer::Module* SoundPlayer::load() {
  if (tried_) return module_.get();
  tried_ = true;
  if (modulePath_.empty()) return nullptr;
  void* library = dlopen(modulePath_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return nullptr;
  auto symbol = [library](const char* name) { return dlsym(library, name); };
  auto version = reinterpret_cast<decltype(&quenbo_sound_version)>(symbol("quenbo_sound_version"));
  auto module = std::make_unique<Module>();
  module->create = reinterpret_cast<decltype(module->create)>(symbol("quenbo_sound_create"));
  module->play = reinterpret_cast<decltype(module->play)>(symbol("quenbo_sound_play"));
  module->playing = reinterpret_cast<decltype(module->playing)>(symbol("quenbo_sound_playing"));
  module->destroy = reinterpret_cast<decltype(module->destroy)>(symbol("quenbo_sound_destroy"));
  if (!version || version() != kSoundModuleVersion || !module->create || !module->play ||
      !module->playing || !module->destroy) {
    return nullptr;
  }
  output_ = module->create();
  if (output_) module_ = std::move(module);
  return module_.get();
}

bool SoundPlayer::play(const Bytes& wave) {
  auto clip = parseWave(wave);
  if (!clip) return false;
  const Module* module = load();
  if (!module) return false;
  return module->play(output_, wave.data() + clip->dataOffset, clip->dataSize, clip->channels,
                      clip->sampleRate, clip->bitsPerSample);
}

bool SoundPlayer::playing() const { return module_ && module_->playing(output_); }

}  // namespace quenbo::qt
