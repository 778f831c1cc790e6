#include "tweaks/reg_file.h"

#include <gtest/gtest.h>

#include "tests/native/test_support.h"

namespace torvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
const auto kAllowAll = [](const RegFileEntry&) { return true; };

RegistryValue Value(std::uint32_t kind, Bytes bytes) {
    return RegistryValue{kind, std::move(bytes)};
}
// A REG_SZ as Windows stores it: UTF-16LE with one terminating NUL.
RegistryValue Sz(const std::wstring& text) {
    Bytes bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    bytes.insert(bytes.end(), {0, 0});
    return Value(kRegSz, bytes);
}
Bytes Counting(size_t count) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}
RegFileEntry Hkcu(const std::wstring& name, std::optional<RegistryValue> value,
                  const std::wstring& path = L"Software\\Torvane") {
    return {RegistryRoot::CurrentUser, path, name, std::move(value)};
}

const std::wstring kHead = L"Windows Registry Editor Version 5.00\r\n\r\n";
const std::wstring kKey = L"[HKEY_CURRENT_USER\\Software\\Torvane]\r\n";
const std::wstring kLeftOut = L"; left out: a key or value name this file cannot hold\r\n";

struct RoundTrip {
    const char* name;
    std::vector<RegFileEntry> entries;
};
void PrintTo(const RoundTrip& c, std::ostream* out) {
    *out << c.name;
}
class RegFileRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(RegFileRoundTrip, ReadsBackWhatWasWritten) {
    const auto& entries = GetParam().entries;
    const std::wstring text = FormatRegFile(entries);
    std::vector<RegFileEntry> offered;
    const RegFileReading reading =
        ReadRegFile(EncodeRegFile(text), [&offered](const RegFileEntry& entry) {
            offered.push_back(entry);
            return true;
        });
    ASSERT_TRUE(reading.ok()) << "refused line " << reading.refusedLine << " of\n"
                              << testing::Utf8(text);
    EXPECT_EQ(reading.entries, entries);
    EXPECT_EQ(offered, entries);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegFileRoundTrip,
    ::testing::Values(
        RoundTrip{"Dword", {Hkcu(L"NoRun", Value(kRegDword, {1, 0, 0, 0}))}},
        RoundTrip{"DwordHighBytes", {Hkcu(L"Size", Value(kRegDword, {0xef, 0xbe, 0xad, 0xde}))}},
        RoundTrip{"ThreeByteDword", {Hkcu(L"Odd", Value(kRegDword, {1, 2, 3}))}},
        RoundTrip{"EmptyDword", {Hkcu(L"Odd", Value(kRegDword, {}))}},
        RoundTrip{"PlainString", {Hkcu(L"s1159", Sz(L"上午 \"am\" C:\\"))}},
        RoundTrip{"EmptyString", {Hkcu(L"s2359", Sz(L""))}},
        RoundTrip{"StringWithoutNul", {Hkcu(L"Icon", Value(kRegSz, {'3', 0, '2', 0}))}},
        RoundTrip{"StringWithTwoNuls", {Hkcu(L"Icon", Value(kRegSz, {'3', 0, 0, 0, 0, 0}))}},
        RoundTrip{"StringNulInside", {Hkcu(L"Icon", Value(kRegSz, {'3', 0, 0, 0, '2', 0, 0, 0}))}},
        RoundTrip{"StringOddLength", {Hkcu(L"Icon", Value(kRegSz, {'3', 0, 0}))}},
        RoundTrip{"StringWithCrLf", {Hkcu(L"Note", Sz(L"a\r\nb")), Hkcu(L"Lf", Sz(L"\n"))}},
        RoundTrip{"EmptyBinary", {Hkcu(L"Bin", Value(kRegBinary, {}))}},
        RoundTrip{"ExpandAndMulti",
                  {Hkcu(L"Path", Value(kRegExpandSz, {'%', 0, 0, 0})),
                   Hkcu(L"List", Value(kRegMultiSz, {'a', 0, 0, 0, 0, 0}))}},
        RoundTrip{"OddKinds",
                  {Hkcu(L"None", Value(0, {7})), Hkcu(L"Qword", Value(11, Counting(8))),
                   Hkcu(L"Big", Value(0x4000, {1})), Hkcu(L"Max", Value(0xffffffff, {}))}},
        RoundTrip{"DefaultValue", {Hkcu(L"", Sz(L"0")), Hkcu(L"After", std::nullopt)}},
        RoundTrip{"AbsentValues", {Hkcu(L"Wallpaper", std::nullopt), Hkcu(L"", std::nullopt)}},
        RoundTrip{"AwkwardNames",
                  {Hkcu(L"a\\b", Sz(L"x")), Hkcu(L"\"q\"", Sz(L"y")), Hkcu(L"=", Sz(L"=")),
                   Hkcu(L"壁纸样式", Sz(L"居中")), Hkcu(L"\\", std::nullopt),
                   Hkcu(L"\\\"", std::nullopt), Hkcu(L" ", Sz(L" "))}},
        RoundTrip{"ThreeRoots",
                  {Hkcu(L"A", Sz(L"1")), Hkcu(L"B", Sz(L"2"), L"Control Panel\\Desktop"),
                   RegFileEntry{RegistryRoot::LocalMachine, L"SOFTWARE\\Policies\\X]", L"C",
                                Value(kRegDword, {0, 0, 0, 0})},
                   RegFileEntry{RegistryRoot::Users, L".DEFAULT\\Control Panel\\中文", L"D",
                                std::nullopt},
                   // The longest key name Windows takes: 255 characters with the root.
                   Hkcu(L"E", std::nullopt, std::wstring(237, L'k'))}},
        RoundTrip{"LongValuesWrap",
                  {Hkcu(L"Exactly22", Value(kRegBinary, Counting(22))),
                   Hkcu(L"Exactly23", Value(kRegBinary, Counting(23))),
                   Hkcu(L"Long", Value(kRegBinary, Counting(1000))),
                   Hkcu(std::wstring(100, L'n'), Value(kRegBinary, Counting(30))),
                   Hkcu(L"LongText", Sz(std::wstring(500, L'长')))}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExactText {
    const char* name;
    std::vector<RegFileEntry> entries;
    std::wstring text;  // after the version line and its blank line
};
void PrintTo(const ExactText& c, std::ostream* out) {
    *out << c.name;
}
class RegFileText : public ::testing::TestWithParam<ExactText> {};

TEST_P(RegFileText, IsWrittenExactly) {
    EXPECT_EQ(testing::Utf8(FormatRegFile(GetParam().entries)),
              testing::Utf8(kHead + GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RegFileText,
    ::testing::Values(
        ExactText{"Nothing", {}, L""},
        ExactText{
            "EachForm",
            {RegFileEntry{RegistryRoot::CurrentUser,
                          L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                          L"DisableRegistryTools", Value(kRegDword, {1, 0, 0, 0})},
             Hkcu(L"", Sz(L"0"), L"Control Panel\\Desktop"),
             Hkcu(L"Wallpaper", std::nullopt, L"Control Panel\\Desktop"),
             Hkcu(L"Shell Icon Size", Value(kRegSz, {'3', 0, '2', 0}), L"Control Panel\\Desktop"),
             Hkcu(L"Size", Value(kRegDword, {0x0a, 0xbc, 0, 0xf0}), L"Control Panel\\Desktop"),
             Hkcu(L"Odd", Value(kRegDword, {1, 2, 3}), L"Control Panel\\Desktop"),
             Hkcu(L"Kind", Value(0x4000, {}), L"Control Panel\\Desktop"),
             Hkcu(L"a\\\"b", Sz(L"C:\\\"x\""), L"Control Panel\\Desktop")},
            L"[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\"
            L"System]\r\n"
            L"\"DisableRegistryTools\"=dword:00000001\r\n\r\n"
            L"[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
            L"@=\"0\"\r\n"
            L"\"Wallpaper\"=-\r\n"
            L"\"Shell Icon Size\"=hex(1):33,00,32,00\r\n"
            L"\"Size\"=dword:f000bc0a\r\n"
            L"\"Odd\"=hex(4):01,02,03\r\n"
            L"\"Kind\"=hex(4000):\r\n"
            L"\"a\\\\\\\"b\"=\"C:\\\\\\\"x\\\"\"\r\n\r\n"},
        ExactText{"KeysGroupedInFirstOrder",
                  {Hkcu(L"A", std::nullopt, L"K1"),
                   RegFileEntry{RegistryRoot::LocalMachine, L"K1", L"B", std::nullopt},
                   Hkcu(L"C", std::nullopt, L"K1"), Hkcu(L"D", std::nullopt, L"k1"),
                   RegFileEntry{RegistryRoot::Users, L"K1", L"E", std::nullopt}},
                  L"[HKEY_CURRENT_USER\\K1]\r\n\"A\"=-\r\n\"C\"=-\r\n\r\n"
                  L"[HKEY_LOCAL_MACHINE\\K1]\r\n\"B\"=-\r\n\r\n"
                  L"[HKEY_CURRENT_USER\\k1]\r\n\"D\"=-\r\n\r\n"
                  L"[HKEY_USERS\\K1]\r\n\"E\"=-\r\n\r\n"},
        // 22 bytes fill the first line to 80 characters with its "\", 25 each
        // following one to 78.
        ExactText{"Wraps",
                  {Hkcu(L"Hex", Value(kRegBinary, Counting(50)))},
                  kKey + L"\"Hex\"=hex(3):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,"
                         L"13,14,15,\\\r\n"
                         L"  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,"
                         L"2d,2e,\\\r\n"
                         L"  2f,30,31\r\n\r\n"},
        // A line break cannot be written in a name, nor a key without a path
        // or longer than Windows allows: the entry, or the whole key, becomes a
        // comment that ReadRegFile refuses.
        ExactText{"Unwritable",
                  {Hkcu(L"a\r\n[HKEY_LOCAL_MACHINE\\X]", std::nullopt), Hkcu(L"b", std::nullopt),
                   Hkcu(L"c", std::nullopt, L"X\n"), Hkcu(L"d", std::nullopt, L""),
                   Hkcu(L"e", std::nullopt, std::wstring(238, L'k'))},
                  kKey + kLeftOut + L"\"b\"=-\r\n\r\n" + kLeftOut + L"\r\n" + kLeftOut + L"\r\n" +
                      kLeftOut + L"\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegFileLeftOut, IsRefusedAtTheComment) {
    const auto text = FormatRegFile({Hkcu(L"b", std::nullopt), Hkcu(L"a\nb", std::nullopt)});
    EXPECT_EQ(ReadRegFile(EncodeRegFile(text), kAllowAll).refusedLine, 5u);
}

TEST(RegFileEncoding, IsUtf16LittleEndianWithMark) {
    EXPECT_EQ(EncodeRegFile(L"a中\r\n"), (Bytes{0xff, 0xfe, 'a', 0, 0x2d, 0x4e, '\r', 0, '\n', 0}));
    EXPECT_EQ(EncodeRegFile(L""), (Bytes{0xff, 0xfe}));
    EXPECT_EQ(EncodeRegFile(L"\U0001F600"), (Bytes{0xff, 0xfe, 0x3d, 0xd8, 0x00, 0xde}));
}

struct Refusal {
    const char* name;
    Bytes bytes;
    size_t line;
};
void PrintTo(const Refusal& c, std::ostream* out) {
    *out << c.name;
}
class RegFileRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(RegFileRefusal, NamesTheLineAndKeepsNothing) {
    const RegFileReading reading = ReadRegFile(GetParam().bytes, kAllowAll);
    EXPECT_EQ(reading.refusedLine, GetParam().line);
    EXPECT_TRUE(reading.entries.empty());
}

Refusal Refused(const char* name, const std::wstring& afterHead, size_t line) {
    return {name, EncodeRegFile(kHead + afterHead), line};
}
Bytes WithoutMark(Bytes bytes) {
    return Bytes(bytes.begin() + 2, bytes.end());
}
Bytes Cat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}
const Bytes kGood = EncodeRegFile(kHead + kKey + L"\"a\"=-\r\n\r\n");

INSTANTIATE_TEST_SUITE_P(
    Damage, RegFileRefusal,
    ::testing::Values(
        Refusal{"Empty", {}, 1}, Refusal{"MarkOnly", {0xff, 0xfe}, 1},
        Refusal{"NoMark", WithoutMark(kGood), 1},
        Refusal{"BigEndianMark", Cat({0xfe, 0xff}, WithoutMark(kGood)), 1},
        Refusal{"OddByteCount", Bytes(kGood.begin(), kGood.end() - 1), 1},
        Refusal{"MissingVersionLine", EncodeRegFile(kKey + L"\"a\"=-\r\n\r\n"), 1},
        Refusal{"OldVersionLine", EncodeRegFile(L"REGEDIT4\r\n\r\n" + kKey), 1},
        Refusal{"NoBlankAfterVersion",
                EncodeRegFile(L"Windows Registry Editor Version 5.00\r\n" + kKey), 2},
        Refused("LoneLf", kKey + L"\"a\"=-\n\r\n", 4),
        Refused("LoneLfAfterKey", L"[HKEY_USERS\\K]\n\"a\"=-\r\n\r\n", 3),
        Refused("LoneCr", kKey + L"\"a\"=-\r\r\n", 4),
        Refused("NoLastLineEnd", kKey + L"\"a\"=-\r\n\r", 5),
        Refused("NoBlankAfterLastKey", kKey + L"\"a\"=-\r\n", 5),
        Refused("TextAfterLastLineEnd", kKey + L"\"a\"=-\r\n\r\nx", 6),
        Refused("ValueBeforeKey", L"\"a\"=-\r\n\r\n", 3),
        Refused("UnknownRoot", L"[HKCU\\Software\\Torvane]\r\n\"a\"=-\r\n\r\n", 3),
        Refused("RootOnly", L"[HKEY_CURRENT_USER]\r\n\"a\"=-\r\n\r\n", 3),
        Refused("EmptyPath", L"[HKEY_CURRENT_USER\\]\r\n\"a\"=-\r\n\r\n", 3),
        Refused("EmptyStep", L"[HKEY_USERS\\a\\\\b]\r\n\"a\"=-\r\n\r\n", 3),
        Refused("KeyNameTooLong",
                L"[HKEY_USERS\\" + std::wstring(245, L'k') + L"]\r\n\"a\"=-\r\n\r\n", 3),
        Refused("DeletedKey", L"[-HKEY_CURRENT_USER\\Software]\r\n\"a\"=-\r\n\r\n", 3),
        Refused("KeyWithoutValues", kKey + L"\r\n", 4),
        Refused("TwoBlankLines", kKey + L"\"a\"=-\r\n\r\n\r\n", 6),
        Refused("Comment", kKey + L";\r\n\"a\"=-\r\n\r\n", 4),
        Refused("DuplicateValue", kKey + L"\"a\"=-\r\n\"b\"=-\r\n\"a\"=\"x\"\r\n\r\n", 6),
        Refused("TwoDuplicates", kKey + L"\"a\"=-\r\n\"b\"=-\r\n\"a\"=-\r\n\"b\"=-\r\n\r\n", 6),
        Refused("DuplicateDefault", kKey + L"@=-\r\n@=\"x\"\r\n\r\n", 5),
        Refused("DuplicateKey", kKey + L"\"a\"=-\r\n\r\n" + kKey + L"\"b\"=-\r\n\r\n", 6),
        Refused("BadEscapeInName", kKey + L"\"a\\b\"=-\r\n\r\n", 4),
        Refused("BadEscapeInText", kKey + L"\"a\"=\"C:\\temp\"\r\n\r\n", 4),
        Refused("UnclosedText", kKey + L"\"a\"=\"x\r\n\r\n", 4),
        Refused("QuoteInText", kKey + L"\"a\"=\"x\"y\"\r\n\r\n", 4),
        Refused("TrailingText", kKey + L"\"a\"=dword:00000001 \r\n\r\n", 4),
        Refused("ShortDword", kKey + L"\"a\"=dword:0001\r\n\r\n", 4),
        Refused("UpperCaseDword", kKey + L"\"a\"=dword:0000000A\r\n\r\n", 4),
        Refused("DwordWrittenAsHex", kKey + L"\"a\"=hex(4):01,00,00,00\r\n\r\n", 4),
        Refused("StringWrittenAsHex", kKey + L"\"a\"=hex(1):33,00,00,00\r\n\r\n", 4),
        Refused("QuotedEmptyName", kKey + L"\"\"=-\r\n\r\n", 4),
        Refused("KindWithLeadingZero", kKey + L"\"a\"=hex(03):01\r\n\r\n", 4),
        Refused("BinaryShorthand", kKey + L"\"a\"=hex:01\r\n\r\n", 4),
        Refused("TruncatedHex", kKey + L"\"a\"=-\r\n\"b\"=hex(3):01,0\r\n\r\n", 5),
        Refused("HexNotHex", kKey + L"\"a\"=hex(3):01,0g\r\n\r\n", 4),
        Refused("HexEndsInComma", kKey + L"\"a\"=hex(3):01,\r\n\r\n", 4),
        Refused("HexKindTooLong", kKey + L"\"a\"=hex(100000000):\r\n\r\n", 4),
        Refused("WrappedTooEarly", kKey + L"\"a\"=\"x\"\r\n\"b\"=hex(3):01,\\\r\n  02\r\n\r\n", 5),
        Refused("ContinuationAtEnd", kKey + L"\"a\"=hex(3):01,\\\r\n", 5),
        Refused("ContinuationOneBlank",
                kKey + L"\"a\"=hex(3):00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,"
                       L"13,14,15,\\\r\n 16\r\n\r\n",
                5),
        Refused("ValueAfterLastBlank", kKey + L"\"a\"=-\r\n\r\n\"b\"=-\r\n\r\n", 6)),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegFileReading, HeaderAndBlankLineAloneHoldNoEntries) {
    const RegFileReading reading = ReadRegFile(EncodeRegFile(kHead), kAllowAll);
    EXPECT_TRUE(reading.ok());
    EXPECT_TRUE(reading.entries.empty());
}

// A planted entry refuses the whole file at its line, whatever came before it.
TEST(RegFileReading, EntryNotAllowedRefusesTheFile) {
    const std::vector<RegFileEntry> entries = {
        Hkcu(L"NoRun", Value(kRegDword, {1, 0, 0, 0})), Hkcu(L"Long", Value(3, Counting(40))),
        RegFileEntry{RegistryRoot::LocalMachine,
                     L"SOFTWARE\\Classes\\exefile\\shell\\open\\command", L"", Sz(L"evil.exe")}};
    std::vector<std::wstring> offered;
    const RegFileReading reading =
        ReadRegFile(EncodeRegFile(FormatRegFile(entries)), [&offered](const RegFileEntry& entry) {
            offered.push_back(entry.name);
            return entry.root == RegistryRoot::CurrentUser;
        });
    EXPECT_EQ(reading.refusedLine, 9u);
    EXPECT_TRUE(reading.entries.empty());
    EXPECT_EQ(offered, (std::vector<std::wstring>{L"NoRun", L"Long", L""}));
    EXPECT_EQ(ReadRegFile(EncodeRegFile(FormatRegFile(entries)), nullptr).refusedLine, 4u);
}

}  // namespace
}  // namespace torvane
