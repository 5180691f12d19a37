// What win32.cc shares with its own tests; not part of the seam.
#ifndef TAVREL_PLATFORM_WIN32_INTERNAL_H_
#define TAVREL_PLATFORM_WIN32_INTERNAL_H_

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {
namespace win32 {

// True when LoadLibraryExW knows the LOAD_LIBRARY_SEARCH_* flags.
bool SearchFlagsKnown();
// Loads a DLL from the system directory only, never from the program's
// folder or the current one: with LOAD_LIBRARY_SEARCH_SYSTEM32 where the
// flags are known, else by its full path there.  `load` is LoadLibraryExW,
// or a test's loader of a system that lacks the flags.
using LoadLibraryExWFn = HMODULE(WINAPI*)(LPCWSTR, HANDLE, DWORD);
HMODULE LoadSystemLibrary(const wchar_t* name, bool search_flags_known,
                          LoadLibraryExWFn load = LoadLibraryExW);
// UTF-16 text in the code page, without best fit: each character the code
// page lacks, a surrogate pair as one, becomes kLostCharacter.  `convert`
// is WideCharToMultiByte, or a test's stricter one.
using WideCharToMultiByteFn = int(WINAPI*)(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL);
std::string ToCodePage(UINT code_page, const wchar_t* text, std::size_t length,
                       WideCharToMultiByteFn convert = WideCharToMultiByte);
// The program's words (Windows-1252) in the code page: a letter it lacks
// takes the system's best fit, else its plain letter.
std::string WordsToCodePage(UINT code_page, const std::string& windows1252,
                            WideCharToMultiByteFn convert = WideCharToMultiByte);
// Bytes of the code page as UTF-16 (U+FFFD for what is not of it); empty
// when the call fails.  `convert` is MultiByteToWideChar, or a test's
// stricter one.
using MultiByteToWideCharFn = int(WINAPI*)(UINT, DWORD, LPCCH, int, LPWSTR, int);
std::wstring ToUtf16(UINT code_page, const char* data, std::size_t length,
                     MultiByteToWideCharFn convert = MultiByteToWideChar);
// The console's handler of Ctrl+C, Ctrl+Break and a closing console: writes
// out what the output holds under the output lock, which it keeps, and
// leaves the end of the process to the next handler.
BOOL WINAPI OnConsoleEvent(DWORD event);
// ExpandEnvironment of the seam; `expand` is ExpandEnvironmentStringsW, or
// a test's.
using ExpandEnvironmentStringsWFn = DWORD(WINAPI*)(LPCWSTR, LPWSTR, DWORD);
std::uint32_t ExpandEnvironment(const char* source, char* buffer, std::uint32_t size,
                                ExpandEnvironmentStringsWFn expand = ExpandEnvironmentStringsW);
// Writes every byte; raises Failure when a write fails or takes nothing.
// `write` is WriteFile, or a test's.
using WriteFileFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
void WriteAll(HANDLE out, const char* data, std::size_t length, WriteFileFn write = WriteFile);
// Writes the text to a console in pieces that no console refuses, a
// surrogate pair never cut; raises Failure as WriteAll does.  `write` is
// WriteConsoleW, or a test's.
using WriteConsoleWFn = BOOL(WINAPI*)(HANDLE, const VOID*, DWORD, LPDWORD, LPVOID);
void WriteConsoleWide(HANDLE out, const std::wstring& wide, WriteConsoleWFn write = WriteConsoleW);

}  // namespace win32
}  // namespace platform

#endif  // TAVREL_PLATFORM_WIN32_INTERNAL_H_
