// A stand-in for the system's sfc.dll, for running tavrel.exe under Wine.
//
// It answers from the same catalogue as the POSIX stand-in: the file named
// by TAVREL_STANDIN_SFC (a Windows path, or a host path starting with "/",
// which Wine shows on drive Z:), one protected item a line, compared in any
// letter case; blank lines and lines starting with ";" are skipped.  A key
// is named "<full root name>\<subkey>", or the root name alone when the
// subkey is empty.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring Widen(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0],
                                    static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

// HKEY_CURRENT_CONFIG\X is the current hardware profile's key under
// HKEY_LOCAL_MACHINE, as the registry shows it: either name in the
// catalogue protects the key asked about under the other.
std::wstring ProfileKey(std::wstring name) {
  static const std::wstring link = L"HKEY_CURRENT_CONFIG";
  const int length = static_cast<int>(link.size());
  if (name.size() >= link.size() &&
      CompareStringOrdinal(name.c_str(), length, link.c_str(), length, TRUE) == CSTR_EQUAL &&
      (name.size() == link.size() || name[link.size()] == L'\\'))
    name.replace(0, link.size(), L"HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current");
  return name;
}

std::vector<std::wstring> LoadCatalogue() {
  std::vector<std::wstring> items;
  const char* name = std::getenv("TAVREL_STANDIN_SFC");
  std::string path = name != nullptr ? name : "";
  if (!path.empty() && path[0] == '/') {
    path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
  }
  std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (file == nullptr) return items;
  static char line[65536];  // the catalogue's lines are shorter
  while (std::fgets(line, sizeof line, file) != nullptr) {
    std::string item = line;
    while (!item.empty() && (item.back() == '\n' || item.back() == '\r')) item.pop_back();
    if (item.find_first_not_of(" \t") != std::string::npos && item[0] != ';')
      items.push_back(ProfileKey(Widen(item)));
  }
  std::fclose(file);
  return items;
}

bool InCatalogue(const std::wstring& item) {
  static const std::vector<std::wstring> catalogue = LoadCatalogue();
  for (const std::wstring& entry : catalogue) {
    if (CompareStringOrdinal(entry.c_str(), static_cast<int>(entry.size()), item.c_str(),
                             static_cast<int>(item.size()), TRUE) == CSTR_EQUAL)
      return true;
  }
  return false;
}

const wchar_t* const kRootNames[] = {
    L"HKEY_CLASSES_ROOT",     L"HKEY_CURRENT_USER",   L"HKEY_LOCAL_MACHINE", L"HKEY_USERS",
    L"HKEY_PERFORMANCE_DATA", L"HKEY_CURRENT_CONFIG", L"HKEY_DYN_DATA",
};

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI SfcIsFileProtected(HANDLE, LPCWSTR path) {
  return InCatalogue(path != nullptr ? path : L"") ? TRUE : FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI SfcIsKeyProtected(HKEY key, LPCWSTR subkey, REGSAM) {
  // The predefined roots are 0x80000000 to 0x80000006, sign-extended.
  const ULONG_PTR first = reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
  const ULONG_PTR index = reinterpret_cast<ULONG_PTR>(key) - first;
  if (index >= sizeof kRootNames / sizeof kRootNames[0]) return FALSE;
  std::wstring name = kRootNames[index];
  if (subkey != nullptr && *subkey != L'\0') {
    name += L'\\';
    name += subkey;
  }
  return InCatalogue(ProfileKey(name)) ? TRUE : FALSE;
}
