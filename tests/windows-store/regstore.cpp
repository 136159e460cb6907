// The settings store behind a command line, for checks from outside the program:
//
//   regstore PATH NAME        prints the text (no line end added); exits 1 for no value
//   regstore PATH NAME TEXT   stores the text
//
// Both under HKEY_CURRENT_USER. The arguments arrive in the ANSI code page, so
// only ASCII ones pass unchanged; the printed text is UTF-8.

#include "Registry.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc == 4) {
        Registry::SetRegValue(Registry::CurrentUser, argv[1], argv[2], argv[3]);
        return 0;
    }
    if (argc != 3)
        return 2;
    const auto text = Registry::GetRegValue(Registry::CurrentUser, argv[1], argv[2]);
    if (text)
        std::fwrite(text->data(), 1, text->size(), stdout);
    return text ? 0 : 1;
}
