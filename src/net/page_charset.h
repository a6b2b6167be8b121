// The character-set step of the request engine: a page that names another character set
// than GBK in a meta tag is decoded from it.
#pragma once

#include "base/text.h"

namespace quenbo::net {

// Looks for "<meta ... charset=NAME" in the first 1024 bytes of `text` (letters in any case).
// When NAME is there and is not exactly "gbk" or "gb2312", returns `body` decoded from NAME
// into GBK without its zero bytes; otherwise, and for a name iconv does not know, returns
// `text` unchanged.
Text decodeDeclaredCharset(const Text& text, const Bytes& body);

// A body read as text: texts hold no zero bytes, so each one is left out and the bytes
// after it are kept (a zero byte must not silently end a page).
Text textWithoutZeros(std::string_view bytes);

}  // namespace quenbo::net
