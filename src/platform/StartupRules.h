#pragma once
// The pure rules of start-up: lock name, settings-file path, application name and the
// operating-system check, one per OS where they differ. No I/O here, so every rule is tested
// on every platform; each OS's platform file applies its own.

#include <string>
#include <string_view>

// What separates the folders of a path: Windows takes both slashes, Linux only '/' (a
// backslash is an ordinary character of a Linux file name).
inline constexpr std::string_view kWindowsSeparators = "\\/";
inline constexpr std::string_view kLinuxSeparators = "/";

// Whether a byte opens a two-byte character of the system's code page (Windows' cp932 and
// its other double-byte code pages), whose second byte may be a backslash or an ASCII letter.
// None does in UTF-8 or a single-byte code page: the rules below take that when given none.
using LeadByteTest = bool (*)(unsigned char byte);

// Windows: the executable's full path with '\', ':' and '/' replaced by '_', then upper
// case, as its file names ignore case. Only ASCII letters change, and never the second byte
// of a two-byte character, so a multibyte character is never split or altered.
std::string MakeWindowsLockName(std::string_view modulePath, LeadByteTest isLeadByte = nullptr);

// Linux: the same without the case change: paths that differ in case are different files.
std::string MakeLinuxLockName(std::string_view modulePath);

// Windows: the path minus its last four characters (the extension) plus ".ini";
// "C:\Quiram.ini" when the path is empty. When the executable's folder cannot be written
// (Program Files), the file of that name lives in the per-user folder instead.
std::string MakeWindowsIniPath(std::string_view modulePath, bool moduleDirWritable,
                               std::string_view userConfigDir, LeadByteTest isLeadByte = nullptr);

// Linux: executables carry no extension, so ".ini" is appended. When the executable's
// directory cannot be written (a system-wide install), the file lives in the per-user
// configuration directory instead, still named after the executable; "corvala.ini" there
// when the executable's path is unknown.
std::string MakeLinuxIniPath(std::string_view modulePath, bool moduleDirWritable,
                             std::string_view userConfigDir);

// Linux: whether `directory` (an absolute path) lies where packages install programs
// (/usr, /usr/local included, /bin, /sbin, /lib*, /opt, /snap): a copy there keeps its
// settings in the per-user folder for every user, root included.
bool IsLinuxSystemProgramDir(std::string_view directory);

// The executable's file name without its extension.
std::string MakeAppName(std::string_view modulePath, std::string_view separators,
                        LeadByteTest isLeadByte = nullptr);

// Windows 2000 (5.0) or later.
bool IsWindowsVersionSupported(unsigned major);

// The directory part of a path ("." when there is none) and the name after it.
std::string DirectoryOf(std::string_view path, std::string_view separators, LeadByteTest isLeadByte = nullptr);
std::string FileNameOf(std::string_view path, std::string_view separators, LeadByteTest isLeadByte = nullptr);
