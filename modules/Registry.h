#pragma once
// The settings store: per-user text values that outlive the program, addressed
// like the Windows registry by a root key, a key path ("A\B\C") and a value name.
//
// On Windows the values live in the registry itself; elsewhere in INI files
// written through QSettings (see Registry_qsettings.cpp for the file layout).
// Both operations are silent: a value that cannot be read is "no value", a
// value that cannot be written is simply not stored.
//
// Texts are UTF-8 here. On Windows they are stored in the ANSI code page.

#include <cstdint>
#include <optional>
#include <string>

namespace Registry {

// A predefined root key, numbered as the Windows registry numbers them.
using RootKey = std::uint32_t;
constexpr RootKey CurrentUser = 0x80000001u;   // HKEY_CURRENT_USER
constexpr RootKey LocalMachine = 0x80000002u;  // HKEY_LOCAL_MACHINE

// The stored text, or no value when the key or the value is missing, the value
// is not a plain text, or the store cannot be read. A zero character ends the text.
std::optional<std::string> GetRegValue(RootKey root, const std::string &keyPath,
                                       const std::string &valueName);

// Stores the text under the value name, creating every missing key on the path.
// Every other value is left as it was.
void SetRegValue(RootKey root, const std::string &keyPath, const std::string &valueName,
                 const std::string &text);

}  // namespace Registry
