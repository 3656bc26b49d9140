#ifdef _WIN32

#include <windows.h>

#include "convert/registered_converters.h"

namespace mlf {

std::vector<RegisteredConverter> RegisteredConverters(bool forImport) {
  std::vector<RegisteredConverter> keys;
  const char* path = forImport ? "Software\\Microsoft\\Shared Tools\\Text Converters\\Import"
                               : "Software\\Microsoft\\Shared Tools\\Text Converters\\Export";
  HKEY root;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &root) != ERROR_SUCCESS) return keys;
  char name[261];
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(root, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    RegisteredConverter key{name, {}};
    HKEY sub;
    if (RegOpenKeyExA(root, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
      for (DWORD v = 0;; ++v) {
        char valueName[261];
        BYTE data[257] = {};
        DWORD valueNameSize = sizeof valueName, dataSize = 256;
        if (RegEnumValueA(sub, v, valueName, &valueNameSize, nullptr, nullptr, data, &dataSize) != ERROR_SUCCESS) break;
        key.values.push_back({valueName, reinterpret_cast<char*>(data)});
      }
      RegCloseKey(sub);
    }
    keys.push_back(key);
  }
  RegCloseKey(root);
  return keys;
}

}  // namespace mlf

#endif
