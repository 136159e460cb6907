// Tests of the Windows settings store against a real registry (Wine's).
//
// Every test works on its own key, Software\Quillfern\OrvaneStoreTest\<suite>.<test>,
// removed before and after the test, so the tests do not depend on each other
// or on an earlier run. What the store wrote is checked with the registry
// functions directly, not only by reading it back through the store.

#include "Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string BaseKey = "Software\\Quillfern\\OrvaneStoreTest";

struct RawValue {
    LONG status = ERROR_SUCCESS;
    DWORD type = 0;
    std::string bytes;
};

bool keyExists(HKEY root, const std::string &path)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// The value's type and bytes as the ANSI functions give them.
RawValue readRaw(HKEY root, const std::string &path, const std::string &name)
{
    RawValue raw;
    HKEY handle = nullptr;
    raw.status = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &handle);
    if (raw.status != ERROR_SUCCESS)
        return raw;
    DWORD size = 0;
    raw.status = RegQueryValueExA(handle, name.c_str(), nullptr, &raw.type, nullptr, &size);
    if (raw.status == ERROR_SUCCESS) {
        raw.bytes.assign(size, '\0');
        raw.status = RegQueryValueExA(handle, name.c_str(), nullptr, &raw.type,
                                      reinterpret_cast<BYTE *>(raw.bytes.data()), &size);
        raw.bytes.resize(size);
    }
    RegCloseKey(handle);
    return raw;
}

// The value as the registry keeps it, in UTF-16, every stored character
// including any zeros. The ANSI functions may add a terminator; these do not.
std::optional<std::wstring> readStoredText(HKEY root, const std::wstring &path,
                                           const std::wstring &name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<std::wstring> text;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        std::wstring data(size / sizeof(wchar_t), L'\0');
        if (RegQueryValueExW(handle, name.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE *>(data.data()), &size) == ERROR_SUCCESS) {
            data.resize(size / sizeof(wchar_t));
            text = data;
        }
    }
    RegCloseKey(handle);
    return text;
}

std::wstring wide(const std::string &ascii) { return std::wstring(ascii.begin(), ascii.end()); }

LONG writeRaw(HKEY root, const std::string &path, const std::string &name, DWORD type,
              const void *data, DWORD size)
{
    HKEY handle = nullptr;
    LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                                  nullptr);
    if (status != ERROR_SUCCESS)
        return status;
    status = RegSetValueExA(handle, name.c_str(), 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(handle);
    return status;
}

LONG writeRawText(HKEY root, const std::string &path, const std::string &name,
                  const std::string &bytes)
{
    // A copy with a non-zero byte after it, so that the registry does not count
    // a following zero as a forgotten terminator: exactly these bytes are stored.
    std::string data = bytes + 'X';
    return writeRaw(root, path, name, REG_SZ, data.data(), static_cast<DWORD>(bytes.size()));
}

LONG writeDword(HKEY root, const std::string &path, const std::string &name, DWORD number)
{
    return writeRaw(root, path, name, REG_DWORD, &number, sizeof number);
}

void deleteTree(HKEY root, const std::string &path)
{
    RegDeleteTreeA(root, path.c_str());
    RegDeleteKeyA(root, path.c_str());
}

// Gives each test its own key, absent at the start under HKEY_CURRENT_USER and
// (as far as it is writable) under HKEY_LOCAL_MACHINE, and removed afterwards.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
        key_ = BaseKey + "\\" + info->test_suite_name() + "." + info->name();
        TearDown();
        ASSERT_FALSE(keyExists(HKEY_CURRENT_USER, key_));
    }
    void TearDown() override
    {
        deleteTree(HKEY_CURRENT_USER, key_);
        deleteTree(HKEY_LOCAL_MACHINE, key_);
    }

    std::optional<std::string> get(const std::string &name) const
    {
        return Registry::GetRegValue(Registry::CurrentUser, key_, name);
    }
    void set(const std::string &name, const std::string &text) const
    {
        Registry::SetRegValue(Registry::CurrentUser, key_, name, text);
    }
    RawValue raw(const std::string &name) const { return readRaw(HKEY_CURRENT_USER, key_, name); }
    std::optional<std::wstring> stored(const std::string &name) const
    {
        return readStoredText(HKEY_CURRENT_USER, wide(key_), wide(name));
    }

    std::string key_;
};

// --- The first run: nothing is stored yet ------------------------------------

using FirstRun = StoreTest;

TEST_F(FirstRun, MissingKeyReadsAsNoValueAndIsNotCreated)
{
    const std::string deep = key_ + "\\Settings\\Window";
    EXPECT_EQ(Registry::GetRegValue(Registry::CurrentUser, deep, "Width"), std::nullopt);
    EXPECT_EQ(Registry::GetRegValue(Registry::CurrentUser, key_, "Width"), std::nullopt);
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, deep));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key_ + "\\Settings"));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, key_));
}

TEST_F(FirstRun, MissingValueInAnExistingKeyReadsAsNoValue)
{
    ASSERT_EQ(writeDword(HKEY_CURRENT_USER, key_, "Other", 1), ERROR_SUCCESS);
    EXPECT_EQ(get("Width"), std::nullopt);
    EXPECT_EQ(raw("Width").status, ERROR_FILE_NOT_FOUND) << "reading must not create the value";
}

TEST_F(FirstRun, FirstWriteCreatesEveryKeyOnThePath)
{
    const std::string deep = key_ + "\\A\\B\\C";
    Registry::SetRegValue(Registry::CurrentUser, deep, "Name", "text");

    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, key_));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, key_ + "\\A"));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, key_ + "\\A\\B"));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, deep));
    const RawValue value = readRaw(HKEY_CURRENT_USER, deep, "Name");
    EXPECT_EQ(value.status, ERROR_SUCCESS);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.bytes.substr(0, 4), "text");
    EXPECT_EQ(Registry::GetRegValue(Registry::CurrentUser, deep, "Name"), "text");
}

// --- Texts read back as written ----------------------------------------------

using RoundTrip = StoreTest;

TEST_F(RoundTrip, TextsReadBackAsWritten)
{
    const std::vector<std::pair<std::string, std::string>> values = {
        {"Word", "text"},
        {"Spaces", "  two  spaces  "},
        {"Punctuation", "C:\\Temp\\a;b=c [d] \"e\" %PATH%"},
        {"Markup", "<meta name=\"viewport\" content=\"width=device-width\">"},
        {"Long", std::string(20000, 'q') + "end"},
    };
    for (const auto &[name, text] : values)
        set(name, text);
    for (const auto &[name, text] : values)
        EXPECT_EQ(get(name), text) << name;
}

TEST_F(RoundTrip, EmptyTextIsAValue)
{
    set("Empty", "");
    const std::optional<std::string> text = get("Empty");
    ASSERT_TRUE(text.has_value()) << "the empty text must not read as no value";
    EXPECT_EQ(*text, "");
    const RawValue value = raw("Empty");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored("Empty"), std::wstring());
}

TEST_F(RoundTrip, Latin1TextIsStoredInTheAnsiCodePage)
{
    set("Drink", "Caf\xC3\xA9 cr\xC3\xA8me");  // "Café crème" in UTF-8
    EXPECT_EQ(get("Drink"), "Caf\xC3\xA9 cr\xC3\xA8me");
    // Stored as the characters, not as the UTF-8 bytes taken for ANSI ones.
    EXPECT_EQ(stored("Drink"), L"Caf\u00E9 cr\u00E8me");
}

TEST_F(RoundTrip, TextWrittenInUnicodeReadsAsUtf8)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, wide(key_).c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    const std::wstring text = L"Cr\u00E8me br\u00FBl\u00E9e";
    ASSERT_EQ(RegSetValueExW(handle, L"Dessert", 0, REG_SZ,
                             reinterpret_cast<const BYTE *>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(handle);
    EXPECT_EQ(get("Dessert"), "Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
                              "e");
}

TEST_F(RoundTrip, KeyPathAndValueNameCrossTheAnsiCodePageToo)
{
    const std::string path = key_ + "\\Pr\xC3\xA9" "f\xC3\xA9rences";  // "Préférences"
    const std::string name = "Gr\xC3\xB6\xC3\x9F" "e";                 // "Größe"
    Registry::SetRegValue(Registry::CurrentUser, path, name, "12");
    EXPECT_EQ(Registry::GetRegValue(Registry::CurrentUser, path, name), "12");
    EXPECT_EQ(readStoredText(HKEY_CURRENT_USER, wide(key_) + L"\\Pr\u00E9f\u00E9rences",
                             L"Gr\u00F6\u00DFe"),
              L"12");
}

TEST_F(RoundTrip, CharacterMissingFromTheAnsiCodePageBecomesQuestionMark)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "needs the Western European ANSI code page, this one is " << GetACP();
    set("Mixed", "a\xE4\xB8\xAD" "b");  // "a中b": the middle character is not in code page 1252
    EXPECT_EQ(get("Mixed"), "a?b");
}

TEST_F(RoundTrip, EmptyValueNameIsTheKeysDefaultValue)
{
    set("", "default text");
    EXPECT_EQ(get(""), "default text");
    char buffer[64] = {};
    LONG size = sizeof buffer;
    ASSERT_EQ(RegQueryValueA(HKEY_CURRENT_USER, key_.c_str(), buffer, &size), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "default text");
}

// --- The form a written value takes in the registry ---------------------------

using StoredForm = StoreTest;

TEST_F(StoredForm, ValueIsPlainTextWithoutTerminatingZero)
{
    // The ANSI length, not the UTF-8 one: "Café" is 4 bytes in code page 1252.
    const std::vector<std::pair<std::string, std::wstring>> values = {
        {"text", L"text"}, {"x", L"x"}, {"Caf\xC3\xA9", L"Caf\u00E9"}};
    for (const auto &[text, characters] : values) {
        SCOPED_TRACE(text);
        set("Name", text);
        const RawValue value = raw("Name");
        ASSERT_EQ(value.status, ERROR_SUCCESS);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(value.bytes.size(), characters.size());
        EXPECT_EQ(stored("Name"), characters) << "no zero after the text";
    }
}

// --- Values written by other programs ---------------------------------------

using HandWritten = StoreTest;

TEST_F(HandWritten, TerminatingZeroIsNotPartOfTheText)
{
    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_, "Name", std::string("hello\0", 6)),
              ERROR_SUCCESS);
    ASSERT_EQ(stored("Name"), std::wstring(L"hello\0", 6)) << "the zero must really be stored";
    EXPECT_EQ(get("Name"), "hello");
}

TEST_F(HandWritten, SeveralTrailingZerosAreNotPartOfTheText)
{
    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_, "Name", std::string("hi\0\0\0", 5)),
              ERROR_SUCCESS);
    EXPECT_EQ(get("Name"), "hi");
}

TEST_F(HandWritten, ZeroInTheMiddleEndsTheText)
{
    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_, "Name", std::string("ab\0cd", 5)),
              ERROR_SUCCESS);
    ASSERT_EQ(stored("Name"), std::wstring(L"ab\0cd", 5));
    EXPECT_EQ(get("Name"), "ab");

    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_, "Leading", std::string("\0cd", 3)),
              ERROR_SUCCESS);
    EXPECT_EQ(get("Leading"), "") << "a zero first is the empty text, not no value";
}

TEST_F(HandWritten, TextWithoutTerminatingZeroReadsWhole)
{
    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_, "Name", "hello"), ERROR_SUCCESS);
    ASSERT_EQ(stored("Name"), L"hello");
    EXPECT_EQ(get("Name"), "hello");
}

TEST_F(HandWritten, ValueChangedElsewhereIsSeenAtOnce)
{
    set("Name", "mine");
    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_, "Name", "theirs"), ERROR_SUCCESS);
    EXPECT_EQ(get("Name"), "theirs");
    deleteTree(HKEY_CURRENT_USER, key_);
    EXPECT_EQ(get("Name"), std::nullopt);
}

// --- Values that are not plain texts -----------------------------------------

using OtherTypes = StoreTest;

TEST_F(OtherTypes, ReadAsNoValue)
{
    const DWORD number = 42;
    const unsigned long long big = 42;
    const char bytes[] = "text";  // with its zero: would read as "text" if taken for a text
    const char expandable[] = "%SystemRoot%\\text";
    const char list[] = "one\0two\0";
    ASSERT_EQ(writeRaw(HKEY_CURRENT_USER, key_, "Dword", REG_DWORD, &number, sizeof number),
              ERROR_SUCCESS);
    ASSERT_EQ(writeRaw(HKEY_CURRENT_USER, key_, "Qword", REG_QWORD, &big, sizeof big),
              ERROR_SUCCESS);
    ASSERT_EQ(writeRaw(HKEY_CURRENT_USER, key_, "Binary", REG_BINARY, bytes, sizeof bytes),
              ERROR_SUCCESS);
    ASSERT_EQ(writeRaw(HKEY_CURRENT_USER, key_, "Expand", REG_EXPAND_SZ, expandable,
                       sizeof expandable),
              ERROR_SUCCESS);
    ASSERT_EQ(writeRaw(HKEY_CURRENT_USER, key_, "List", REG_MULTI_SZ, list, sizeof list),
              ERROR_SUCCESS);
    ASSERT_EQ(writeRaw(HKEY_CURRENT_USER, key_, "None", REG_NONE, bytes, sizeof bytes),
              ERROR_SUCCESS);

    for (const char *name : {"Dword", "Qword", "Binary", "Expand", "List", "None"})
        EXPECT_EQ(get(name), std::nullopt) << name;
}

TEST_F(OtherTypes, WritingReplacesThemWithText)
{
    ASSERT_EQ(writeDword(HKEY_CURRENT_USER, key_, "Name", 7), ERROR_SUCCESS);
    set("Name", "seven");
    EXPECT_EQ(raw("Name").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(get("Name"), "seven");
}

// --- A write touches nothing but its own value -------------------------------

using Neighbours = StoreTest;

TEST_F(Neighbours, WritingOneValueLeavesTheOthers)
{
    ASSERT_EQ(writeDword(HKEY_CURRENT_USER, key_, "Count", 42), ERROR_SUCCESS);
    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_, "Other", "keep"), ERROR_SUCCESS);
    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_ + "\\Child", "Inner", "inside"),
              ERROR_SUCCESS);

    set("Name", "new");

    EXPECT_EQ(get("Name"), "new");
    const RawValue count = raw("Count");
    EXPECT_EQ(count.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(count.bytes, std::string("\x2A\0\0\0", 4));
    EXPECT_EQ(stored("Other"), L"keep");
    EXPECT_EQ(readStoredText(HKEY_CURRENT_USER, wide(key_ + "\\Child"), L"Inner"), L"inside");
}

TEST_F(Neighbours, WritingAgainReplacesOnlyThatValue)
{
    set("First", "one");
    set("Second", "two");

    set("First", "three");
    EXPECT_EQ(get("First"), "three");
    set("First", "x");  // shorter: nothing of "three" may be left behind
    EXPECT_EQ(get("First"), "x");
    EXPECT_EQ(stored("First"), L"x");

    EXPECT_EQ(get("Second"), "two");
    EXPECT_EQ(stored("Second"), L"two");
}

// --- The value changing between the size query and the data query -----------

using SecondQuery = StoreTest;

// Another thread switches the value between a short and a long text while this
// one reads. When the value grows between the two queries the buffer is too
// small, the second query fails and the read gives no value; it must never
// give the spaces the buffer was filled with, or a cut text. The race is
// frequent under Wine (a few per cent of reads); the loop runs until it has
// been seen, within a time limit.
TEST_F(SecondQuery, FailureGivesNoValueNeverAPartialText)
{
    const std::string shortText = "x";
    const std::string longText(200, 'y');
    set("Name", shortText);

    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (bool toggle = false; !stop; toggle = !toggle)
            set("Name", toggle ? shortText : longText);
    });

    int reads = 0;
    int noValues = 0;
    int badReads = 0;
    std::string firstBad;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((noValues < 20 || reads < 1000) && badReads < 20 &&
           std::chrono::steady_clock::now() < deadline) {
        const std::optional<std::string> text = get("Name");
        ++reads;
        if (!text) {
            ++noValues;
            continue;
        }
        // The value shrinking in between leaves the short text at the start of
        // the buffer; where a system does not end it with a zero, the rest of
        // the buffer (spaces) follows it.
        const bool isShort = text->compare(0, shortText.size(), shortText) == 0 &&
                             text->find_first_not_of(' ', shortText.size()) == std::string::npos;
        if (!isShort && *text != longText && badReads++ == 0)
            firstBad = *text;
    }
    stop = true;
    writer.join();

    EXPECT_EQ(badReads, 0) << "first bad read: \"" << firstBad << "\"";
    EXPECT_GT(noValues, 0) << "no read in " << reads
                           << " gave no value: either the value never grew between the two"
                              " queries, or a failing second query was not taken for no value";
}

// --- The root key is a parameter ---------------------------------------------

using Roots = StoreTest;

TEST_F(Roots, CurrentUserValueIsNotUnderLocalMachine)
{
    set("Name", "user");
    EXPECT_EQ(Registry::GetRegValue(Registry::LocalMachine, key_, "Name"), std::nullopt);
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, key_));
}

TEST_F(Roots, LocalMachineIsAStoreOfItsOwn)
{
    // Needs write access to HKEY_LOCAL_MACHINE, which Wine gives.
    HKEY probe = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &probe, nullptr) != ERROR_SUCCESS)
        GTEST_SKIP() << "HKEY_LOCAL_MACHINE is not writable here";
    RegCloseKey(probe);

    set("Name", "user");
    Registry::SetRegValue(Registry::LocalMachine, key_, "Name", "machine");
    EXPECT_EQ(Registry::GetRegValue(Registry::LocalMachine, key_, "Name"), "machine");
    EXPECT_EQ(readStoredText(HKEY_LOCAL_MACHINE, wide(key_), L"Name"), L"machine");
    EXPECT_EQ(get("Name"), "user");
}

TEST_F(Roots, InvalidRootReadsNothingAndWritesNothing)
{
    ASSERT_EQ(writeRawText(HKEY_CURRENT_USER, key_, "Name", "user"), ERROR_SUCCESS);
    // 0 is no key at all; the others lie past the predefined keys. (Small numbers
    // such as 7 are avoided: they could name a handle this process has open.)
    for (const Registry::RootKey root : {0x0u, 0x80000010u, 0x80000100u}) {
        SCOPED_TRACE(root);
        EXPECT_EQ(Registry::GetRegValue(root, key_, "Name"), std::nullopt);
        Registry::SetRegValue(root, key_, "Name", "elsewhere");  // must simply do nothing
        EXPECT_EQ(Registry::GetRegValue(root, key_, "Name"), std::nullopt);
    }
    EXPECT_EQ(stored("Name"), L"user");
}

}  // namespace
