// A .cpp file of net/: the one kind of file that may include libcurl's header.
#include <curl/curl.h>
