// The system's character set and the conversions to and from it (see
// syslocale.h).
#include "app/syslocale.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>

bool utf8system = false;

namespace {

// "UTF-8" or "utf8" in any case, in the codeset part or anywhere after it.
bool namesutf8(const char* value) {
  for (const char* p = value; *p; p++)
    if (strncasecmp(p, "utf-8", 5) == 0 || strncasecmp(p, "utf8", 4) == 0) return true;
  return false;
}

}  // namespace

bool isutf8locale(const char* lcall, const char* lctype, const char* lang) {
  for (const char* v : {lcall, lctype, lang})
    if (v && *v) return namesutf8(v);
  return false;
}

bool utf8environment() {
  return isutf8locale(getenv("LC_ALL"), getenv("LC_CTYPE"), getenv("LANG"));
}

bool fromsystem(const char* s, std::string& out, codecfault& fault) {
  out.clear();
  if (!utf8system) {
    out = s;
    return true;
  }
  return utf8togbk(reinterpret_cast<const unsigned char*>(s), strlen(s), out, fault);
}

bool tosystem(const char* s, std::string& out, codecfault& fault) {
  out.clear();
  if (!utf8system) {
    out = s;
    return true;
  }
  return gbktoutf8(reinterpret_cast<const unsigned char*>(s), strlen(s), out, breakstyle::keep,
                   fault);
}
