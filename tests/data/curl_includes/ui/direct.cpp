// A file of another layer that would speak to libcurl itself instead of through net/.
#include <curl/curl.h>
