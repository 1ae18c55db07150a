#include <RegFileParser.h>
#include <RegFileWriter.h>

#include <platform/Registry.h>

#include <gtest/gtest.h>

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n";

RegFileError ErrorOf(const std::string& text)
{
    std::vector<RegFileOperation> operations;
    RegFileError error;
    EXPECT_FALSE(ParseRegFile(text, operations, error)) << text;
    EXPECT_TRUE(operations.empty());
    return error;
}

std::vector<unsigned char> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

} // namespace

TEST(RegFileParser, ReadsKeysValuesDeletionsAndContinuations)
{
    const std::string text = "\xef\xbb\xbfWindows Registry Editor Version 5.00\r\n"
                             "\r\n"
                             "; a comment\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trevalo]\n"
                             "\"Path\"=\"C:\\\\dir\\\\\\\"quoted\\\"\"\n"
                             "@=\"default\"\n"
                             "\"Number\"=dword:0000002A\n"
                             "\"Blob\"=hex:01,ff,\\\n"
                             "  00\n"
                             "\"Odd\"=hex(7):61,00\n"
                             "\"Gone\"=-\n"
                             "[-HKLM\\SOFTWARE\\Old]\n";
    std::vector<RegFileOperation> operations;
    RegFileError error;
    ASSERT_TRUE(ParseRegFile(text, operations, error)) << error.line << ": " << error.message;
    ASSERT_EQ(8u, operations.size());
    using Kind = RegFileOperation::Kind;
    EXPECT_EQ(Kind::CreateKey, operations[0].kind);
    EXPECT_EQ("SOFTWARE\\Trevalo", operations[0].path);
    EXPECT_EQ("Path", operations[1].value.name);
    EXPECT_EQ(Bytes(std::string("C:\\dir\\\"quoted\"", 16)), operations[1].value.data);
    EXPECT_EQ("", operations[2].value.name);
    EXPECT_EQ(REG_DWORD, operations[3].value.type);
    EXPECT_EQ(Bytes(std::string("\x2a\0\0\0", 4)), operations[3].value.data);
    EXPECT_EQ(REG_BINARY, operations[4].value.type);
    EXPECT_EQ(Bytes(std::string("\x01\xff\0", 3)), operations[4].value.data);
    EXPECT_EQ(8, operations[4].line);
    EXPECT_EQ(7u, operations[5].value.type);
    EXPECT_EQ(Kind::DeleteValue, operations[6].kind);
    EXPECT_EQ("Gone", operations[6].value.name);
    EXPECT_EQ(Kind::DeleteKey, operations.back().kind);
    EXPECT_EQ("SOFTWARE\\Old", operations.back().path);
}

TEST(RegFileParser, EachMalformedLineIsRefusedWithItsNumber)
{
    const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\n";
    struct Case {
        std::string text;
        int line;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"REGEDIT4\n", 1, "not a registry file"},
        {"", 0, "empty"},
        {kHeader + "\"v\"=\"x\"\n", 2, "must follow a [key]"},
        {kHeader + "[HKEY_CURRENT_USER\\Software]\n", 2, "bad key name"},
        {kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\\\T]\n", 2, "bad key name"},
        {kHeader + "[HKEY_LOCAL_MACHINE\\" + std::string(256, 'k') + "]\n", 2, "bad key name"},
        {kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE\n", 2, "must end with"},
        {kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\\nT]\n", 2, "must end with"}, // a key line never continues
        {kHeader + "[-HKEY_LOCAL_MACHINE]\n", 2, "cannot be deleted"},
        {kHeader + "[HKEY_LOCAL_MACHINE\\car\rriage]\n", 2, "bad key: a name in it holds a line break"},
        {kHeader + key + "\"v\"=qword:01\n", 3, "unknown value type \"qword\""},
        {kHeader + key + "\n\"v\"=dword:1234567890\n", 4, "bad number"},
        {kHeader + key + "\"v\"=dword:-1\n", 3, "bad number"},
        {kHeader + key + "\"v\"=dword:\n", 3, "bad number"},
        {kHeader + key + "\"v\"=hex:1,zz\n", 3, "bad hex data"},
        {kHeader + key + "\"v\"=hex:100\n", 3, "bad hex data"},
        {kHeader + key + "\"v\"=hex:01,\n", 3, "bad hex data"},
        {kHeader + key + "\"v\"=\"open\n", 3, "bad text"},
        {kHeader + key + "\"v\"=\"a\\nb\"\n", 3, "bad text"},
        {kHeader + key + "\"v\"=\"a\" trailing\n", 3, "bad text"},
        {kHeader + key + "v=\"a\"\n", 3, "bad value name"},
        {kHeader + key + "\"a\\x00\"=\"\"\n", 3, "bad value name"},
        {kHeader + key + "\"v\"=\"a\\x0\"\n", 3, "bad text"},
        {kHeader + key + "\"v\" = \"a\"\n", 3, "expected \"=\""},
    };
    for (const Case& c : cases) {
        const RegFileError error = ErrorOf(c.text);
        EXPECT_EQ(c.line, error.line) << c.text;
        EXPECT_NE(std::string::npos, error.message.find(c.says)) << c.text << " -> " << error.message;
    }
}

TEST(RegFileWriter, WritesTextOnlyWhereItKeepsTheExactBytes)
{
    const auto line = [](DWORD type, const std::string& data, const std::string& name = "v") {
        return FormatRegValue({name, type, Bytes(data)});
    };
    EXPECT_EQ("\"v\"=\"a \\\\ \\\"b\\\"\"", line(REG_SZ, std::string("a \\ \"b\"\0", 8)));
    EXPECT_EQ("@=\"\"", line(REG_SZ, std::string("\0", 1), ""));
    EXPECT_EQ("\"a\\x0ab\\x0d \\\\x0a\"=hex:", line(REG_BINARY, "", "a\nb\r \\x0a"));
    EXPECT_EQ("\"v\"=hex(1):61,62", line(REG_SZ, "ab"));
    EXPECT_EQ("\"v\"=hex(1):61,00,62,00", line(REG_SZ, std::string("a\0b\0", 4)));
    EXPECT_EQ("\"v\"=\"a\\x0a\\x1b]0;\\xc2\\x9b\\xe2\\x80\\xae\\xff \\\\x1b\"",
              line(REG_SZ, std::string("a\n\x1b]0;\xc2\x9b\xe2\x80\xae\xff \\x1b\0", 18)));
    EXPECT_EQ("\"v\"=hex(1):", line(REG_SZ, ""));
    EXPECT_EQ("\"v\"=dword:fffffffe", line(REG_DWORD, "\xfe\xff\xff\xff"));
    EXPECT_EQ("\"v\"=hex(4):01,02", line(REG_DWORD, "\x01\x02"));
    EXPECT_EQ("\"v\"=hex:", line(REG_BINARY, ""));
    EXPECT_EQ("\"v\"=hex(0):ff", line(REG_NONE, "\xff"));
}
