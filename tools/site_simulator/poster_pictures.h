// Small poster pictures drawn in code (160 x 220): a colour per film, a gradient sky, a sun
// and hills, so each tile looks different. Encoded as real PNG (zlib) and JPEG (libjpeg).
#pragma once

#include <string>

namespace quenbo::simulator {

std::string posterPng(int film);
std::string posterJpeg(int film);

}  // namespace quenbo::simulator
