// JSON files: missing, empty, broken and mis-encoded files read as a null root.
#include <gtest/gtest.h>

#include "kiro/io/jsonfile.h"
#include "support/tempfolder.h"

using kiro::io::JsonFile;
using tavi::test::TempFolder;
using tavi::test::writeBytes;

TEST(JsonFile, MissingAndEmptyFilesAreNullWithoutError) {
    TempFolder dir;
    const JsonFile missing(dir / L"none.json");
    EXPECT_TRUE(missing.root().is_null());
    EXPECT_FALSE(missing.failed());
    EXPECT_EQ(missing.error(), L"");
    EXPECT_TRUE(missing[L"key"].is_null());
    EXPECT_TRUE(missing[std::wstring(L"key")][L"deeper"].array_items().empty());

    writeBytes(dir / L"empty.json", "");
    const JsonFile empty(dir / L"empty.json");
    EXPECT_TRUE(empty.root().is_null());
    EXPECT_FALSE(empty.failed());
}

TEST(JsonFile, ReadsUtf8AndShiftJis) {
    TempFolder dir;
    writeBytes(dir / L"u.json", "{\"name\": \"\xE3\x81\x82\xE3\x81\x84\", \"n\": [1, 2]}");
    const JsonFile utf8(dir / L"u.json");
    EXPECT_FALSE(utf8.failed());
    EXPECT_EQ(utf8[L"name"].string_value(), L"あい");
    EXPECT_EQ(utf8[L"n"][1].int_value(), 2);

    // The same text in Shift_JIS.
    writeBytes(dir / L"s.json", "{\"name\": \"\x82\xA0\x82\xA2\"}");
    EXPECT_EQ(JsonFile(dir / L"s.json")[L"name"].string_value(), L"あい");
}

TEST(JsonFile, ByteOrderMarkDoesNotHideTheTable) {
    TempFolder dir;
    writeBytes(dir / L"bom.json", "\xEF\xBB\xBF{\"a\": true}");
    const JsonFile file(dir / L"bom.json");
    EXPECT_FALSE(file.failed()) << std::string(file.error().begin(), file.error().end());
    EXPECT_TRUE(file[L"a"].bool_value());
}

TEST(JsonFile, BrokenFilesGiveNullRootAndTheMessage) {
    TempFolder dir;
    writeBytes(dir / L"broken.json", "{\"a\": [1, 2,]}");
    const JsonFile broken(dir / L"broken.json");
    EXPECT_TRUE(broken.failed());
    EXPECT_EQ(broken.error(), L"expected value, got ']' (93)");
    EXPECT_TRUE(broken.root().is_null());
    EXPECT_TRUE(broken[L"a"].is_null());

    // Bytes no detection can place become a fixed text, which is no JSON.
    writeBytes(dir / L"jis.json", "{\"a\": \"\x1B$B$\"$$\x1B(B\"}");
    const JsonFile unknown(dir / L"jis.json");
    EXPECT_TRUE(unknown.failed());
    EXPECT_EQ(unknown.error(), L"expected value, got 'c' (99)");

    // A zero byte (as in UTF-16 text) never reads as a table.
    writeBytes(dir / L"wide.json", std::string("{\0}\0", 4));
    const JsonFile wide(dir / L"wide.json");
    EXPECT_TRUE(wide.root().is_null());
}
