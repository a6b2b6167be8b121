// A header that would hand libcurl's header on to every file including it.
#pragma once

#include <curl/curl.h>
