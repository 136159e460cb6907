// The settings store on Windows: the values live in the registry itself.
// Plain Win32 (advapi32) only, so this file also builds where Qt is absent.
//
// The registry is used through its ANSI functions, so every text crosses the
// ANSI code page: UTF-8 in the program, UTF-16 as the common ground, ANSI at
// the registry. Characters the ANSI code page lacks come back as '?'.

#include "Registry.h"

#include <windows.h>

#include <cstring>

namespace {

// Converts between two code pages through UTF-16. A text that cannot be
// converted at all becomes empty, which keeps both operations silent.
std::string recode(const std::string &text, UINT fromCodePage, UINT toCodePage)
{
    if (text.empty())
        return {};
    // Texts are far shorter than INT_MAX; the store need not support more than
    // 32,766 characters anyway.
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(fromCodePage, 0, text.data(), length, nullptr, 0);
    if (wideLength <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(fromCodePage, 0, text.data(), length, wide.data(), wideLength);

    const int outLength =
        WideCharToMultiByte(toCodePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (outLength <= 0)
        return {};
    std::string out(static_cast<size_t>(outLength), '\0');
    WideCharToMultiByte(toCodePage, 0, wide.data(), wideLength, out.data(), outLength, nullptr,
                        nullptr);
    return out;
}

std::string toAnsi(const std::string &utf8) { return recode(utf8, CP_UTF8, CP_ACP); }
std::string fromAnsi(const std::string &ansi) { return recode(ansi, CP_ACP, CP_UTF8); }

// The predefined keys are small negative numbers in a pointer-sized handle
// (HKEY_CURRENT_USER is ((HKEY)(ULONG_PTR)((LONG)0x80000001))), so the 32-bit
// root must be sign-extended, not zero-extended, on 64-bit Windows.
HKEY rootHandle(Registry::RootKey root)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

}  // namespace

namespace Registry {

std::optional<std::string> GetRegValue(RootKey root, const std::string &keyPath,
                                       const std::string &valueName)
{
    const std::string path = toAnsi(keyPath);
    const std::string name = toAnsi(valueName);

    // RegOpenKeyA never creates the key. Its result need not be checked: on
    // failure the handle stays null and the queries below fail with it.
    HKEY handle = nullptr;
    RegOpenKeyA(rootHandle(root), path.c_str(), &handle);

    // Asks only for the type and the data size. The result is not checked:
    // a missing key or value leaves the type at 0, which is not REG_SZ.
    DWORD type = 0;
    DWORD size = 0;
    RegQueryValueExA(handle, name.c_str(), nullptr, &type, nullptr, &size);

    std::optional<std::string> result;
    if (type == REG_SZ) {
        // Filled with spaces, not zeros: any zero found below then came from
        // the registry, never from the buffer.
        std::string data(size, ' ');
        DWORD dataSize = size;
        // This query can still fail, e.g. when the value grew in between.
        if (RegQueryValueExA(handle, name.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE *>(data.data()), &dataSize) == ERROR_SUCCESS) {
            // The text ends at the first zero, if the value holds one at all;
            // values written with and without a terminating zero read alike.
            const void *zero = std::memchr(data.data(), '\0', data.size());
            if (zero != nullptr)
                data.resize(static_cast<size_t>(static_cast<const char *>(zero) - data.data()));
            result = fromAnsi(data);
        }
    }

    if (handle != nullptr)
        RegCloseKey(handle);
    return result;
}

void SetRegValue(RootKey root, const std::string &keyPath, const std::string &valueName,
                 const std::string &text)
{
    const std::string path = toAnsi(keyPath);
    const std::string name = toAnsi(valueName);
    std::string data = toAnsi(text);
    const DWORD length = static_cast<DWORD>(data.size());
    // RegSetValueExA takes a zero byte right after a REG_SZ's data for a
    // terminator the caller forgot to count, and stores it too. A std::string
    // always has one there, so a byte that is not zero goes after the text,
    // outside the length, to keep the stored value exactly the text.
    data.push_back(' ');

    // Creates every missing key on the path. Nothing is checked: a value that
    // cannot be written is simply not stored, and a null handle makes the
    // write below fail harmlessly.
    HKEY handle = nullptr;
    RegCreateKeyA(rootHandle(root), path.c_str(), &handle);

    // Exactly the text's bytes, with no terminating zero after them; the
    // reader copes with either form.
    RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(data.data()),
                   length);

    if (handle != nullptr)
        RegCloseKey(handle);
}

}  // namespace Registry
