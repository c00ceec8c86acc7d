// Looking key values up in the key table.
#include "devices/keys.h"

#include <cstdio>
#include <cstring>

key keyof(keyvalue value) {
  for (const keyform& f : keyforms)
    if (packkey(f.bytes) == value) return f.id;
  return key::none;
}

const char* keyname(keyvalue value) {
  static char name[20];
  std::memset(name, 0, sizeof name);
  for (const keyform& f : keyforms)
    if (packkey(f.bytes) == value) {
      std::strcpy(name, f.name);
      return name;
    }
  if ((value >= 1 && value <= 8) || (value >= 11 && value <= 26)) {
    std::snprintf(name, sizeof name, "Ctrl-%c", static_cast<char>(value + 64));
    return name;
  }
  name[0] = static_cast<char>(value & 0xFF);
  return name;
}

void displaykey(int low, int high) {
  keyvalue value = static_cast<keyvalue>(static_cast<unsigned>(low)) |
                   static_cast<keyvalue>(static_cast<unsigned>(high)) << 32;
  printf("you hit %llx %s\n", static_cast<unsigned long long>(value), keyname(value));
}
