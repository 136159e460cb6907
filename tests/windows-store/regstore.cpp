// A console front end to the settings store, so that scripts can reach it from
// outside the program:
//
//   regstore get ROOT PATH NAME        prints the text; exits 1 for no value
//   regstore set ROOT PATH NAME TEXT   stores the text
//
// ROOT is HKCU, HKLM or a number (0x80000001). Texts and output are UTF-8, the
// output written byte for byte with no line end added.

#include "Registry.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

// The C runtime's argv is in the ANSI code page, which would already lose
// characters; the wide command line keeps them all.
std::vector<std::string> utf8Arguments()
{
    std::vector<std::string> args;
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return args;
    for (int i = 0; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<size_t>(size > 0 ? size : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        arg.resize(arg.size() - 1);  // drop the terminating zero
        args.push_back(arg);
    }
    LocalFree(wide);
    return args;
}

bool parseRoot(const std::string &text, Registry::RootKey &root)
{
    if (text == "HKCU") {
        root = Registry::CurrentUser;
        return true;
    }
    if (text == "HKLM") {
        root = Registry::LocalMachine;
        return true;
    }
    char *end = nullptr;
    const unsigned long number = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0')
        return false;
    root = static_cast<Registry::RootKey>(number);
    return true;
}

int usage()
{
    std::fputs("usage: regstore get ROOT PATH NAME\n"
               "       regstore set ROOT PATH NAME TEXT\n",
               stderr);
    return 2;
}

}  // namespace

int main()
{
    const std::vector<std::string> args = utf8Arguments();
    Registry::RootKey root = 0;
    if (args.size() < 5 || !parseRoot(args[2], root))
        return usage();

    if (args[1] == "get" && args.size() == 5) {
        const std::optional<std::string> text = Registry::GetRegValue(root, args[3], args[4]);
        if (!text)
            return 1;
        // Binary mode: the text goes out exactly as read, no CR added.
        _setmode(_fileno(stdout), _O_BINARY);
        std::fwrite(text->data(), 1, text->size(), stdout);
        return 0;
    }
    if (args[1] == "set" && args.size() == 6) {
        Registry::SetRegValue(root, args[3], args[4], args[5]);
        return 0;
    }
    return usage();
}
