// A stand-in for the system's sfc.dll, for running tavrel.exe under Wine.
//
// It answers from the same catalogue as the POSIX stand-in: the file named
// by TAVREL_STANDIN_SFC (a Windows path, or a host path starting with "/",
// which Wine shows on drive Z:), one protected item a line, compared in any
// letter case; blank lines and lines starting with ";" are skipped.  A key
// is named "<full root name>\<subkey>", or the root name alone when the
// subkey is empty.  Built with TAVREL_SFC_EVERYTHING it calls every item
// protected: placed where the system must not look for it, it shows up at
// once if it is loaded.
#include <windows.h>

#include <string>
#include <vector>

namespace {

bool Blank(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

std::wstring Widen(const std::string& ansi) {
  if (ansi.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
  return wide;
}

std::vector<std::wstring> LoadCatalogue() {
  std::vector<std::wstring> items;
  wchar_t name[MAX_PATH * 4];
  const DWORD length = GetEnvironmentVariableW(L"TAVREL_STANDIN_SFC", name, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return items;
  std::wstring path = name;
  if (path[0] == L'/') {
    path = L"Z:" + path;
    for (wchar_t& c : path) {
      if (c == L'/') c = L'\\';
    }
  }
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return items;
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Blank(line) || line[0] == ';') continue;
    items.push_back(Widen(line));
  }
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

#ifdef TAVREL_SFC_EVERYTHING
constexpr bool kEverything = true;
#else
constexpr bool kEverything = false;
#endif

extern "C" __declspec(dllexport) BOOL WINAPI SfcIsFileProtected(HANDLE, LPCWSTR path) {
  return kEverything || InCatalogue(path != nullptr ? path : L"") ? TRUE : FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI SfcIsKeyProtected(HKEY key, LPCWSTR subkey, REGSAM) {
  if (kEverything) return TRUE;
  // The predefined roots are 0x80000000 to 0x80000006, sign-extended.
  const ULONG_PTR first = reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
  const ULONG_PTR index = reinterpret_cast<ULONG_PTR>(key) - first;
  if (index >= sizeof kRootNames / sizeof kRootNames[0]) return FALSE;
  std::wstring name = kRootNames[index];
  if (subkey != nullptr && *subkey != L'\0') {
    name += L'\\';
    name += subkey;
  }
  return InCatalogue(name) ? TRUE : FALSE;
}
