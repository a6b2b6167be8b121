#include "net/http_request.h"

namespace quenbo::net {

const char* HttpMethod::verb(int index) {
  static constexpr const char* kVerbs[] = {"GET",     "POST",   "HEAD",  "PUT",
                                           "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  return index >= 0 && index < 8 ? kVerbs[index] : "GET";
}

}  // namespace quenbo::net
