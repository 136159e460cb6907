// The Windows settings store against a real registry (Wine's). Every test works
// on one key, removed before and after it; what the store wrote is read back
// with the registry's own functions as well.

#include "Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

using namespace Registry;
using Raw = std::pair<DWORD, std::string>;

static const std::string Key = "Software\\Quillfern\\OrvaneStoreTest";

// Stores the bytes as another program could; after a text's last byte that is
// not a zero, the registry may add a terminating zero of its own.
static void writeRaw(const std::string &path, DWORD type, const std::string &bytes)
{
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), "Name", type, bytes.data(),
                              static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

// A value's type and bytes as stored (short values only).
static Raw readRaw(const std::string &path)
{
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    Raw raw{REG_NONE, std::string(256, '\0')};
    DWORD size = 256;
    RegQueryValueExA(key, "Name", nullptr, &raw.first, reinterpret_cast<BYTE *>(raw.second.data()),
                     &size);
    raw.second.resize(size);
    RegCloseKey(key);
    return raw;
}

struct Store : ::testing::Test {
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, Key.c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, Key.c_str());
    }
};

// Nothing stored yet: no value, and reading creates no key. The first write
// creates every key on the path; a text reads back as written and is stored as
// a plain text in the ANSI code page, with no terminating zero. The root is a
// parameter: each root key is a store of its own, and 0 is none.
TEST_F(Store, Texts)
{
    const std::string path = Key + "\\A\\B";
    HKEY key = nullptr;
    EXPECT_EQ(GetRegValue(CurrentUser, path, "Name"), std::nullopt);
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    const std::pair<std::string, std::string> texts[] = {
        {"Caf\xC3\xA9 au lait", "Caf\xE9 au lait"}, {"text", "text"}, {"", ""}};
    for (const auto &[text, ansi] : texts) {
        SetRegValue(CurrentUser, path, "Name", text);
        EXPECT_EQ(GetRegValue(CurrentUser, path, "Name"), text);
        EXPECT_EQ(readRaw(path), Raw(REG_SZ, ansi));
    }
    SetRegValue(LocalMachine, path, "Name", "machine");
    EXPECT_EQ(GetRegValue(LocalMachine, path, "Name"), "machine");
    EXPECT_EQ(GetRegValue(CurrentUser, path, "Name"), std::string());
    EXPECT_EQ(GetRegValue(0, path, "Name"), std::nullopt);
}

// Values written by other programs: a zero ends the text, whether terminator or
// in the middle; a value of any other type is no value. A write replaces its
// own value and leaves every other one.
TEST_F(Store, ForeignValues)
{
    const std::tuple<DWORD, std::string, std::optional<std::string>> values[] = {
        {REG_SZ, std::string("text\0", 5), "text"}, {REG_SZ, std::string("ab\0cd", 5), "ab"},
        {REG_DWORD, "text", std::nullopt},          {REG_EXPAND_SZ, "text", std::nullopt},
        {REG_MULTI_SZ, "text", std::nullopt},       {REG_BINARY, "text", std::nullopt}};
    for (const auto &[type, bytes, text] : values) {
        writeRaw(Key, type, bytes);
        EXPECT_EQ(GetRegValue(CurrentUser, Key, "Name"), text) << "type " << type;
    }
    writeRaw(Key + "\\Child", REG_DWORD, "text");
    SetRegValue(CurrentUser, Key, "Other", "x");
    EXPECT_EQ(readRaw(Key), Raw(REG_BINARY, "text"));
    EXPECT_EQ(readRaw(Key + "\\Child"), Raw(REG_DWORD, "text"));
}
