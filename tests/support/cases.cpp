// Reads the case files under tests/data and compares what a module's runner makes of them.
#include "support/cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "kiro/io/charset/charset.h"

namespace tavi::test {

namespace fs = std::filesystem;

namespace {

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string withoutFinalBreaks(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

}  // namespace

std::string dataPath(const std::string& relative) {
    const char* root = std::getenv("TAVI_TEST_DATA");
    return std::string(root && *root ? root : TAVI_TEST_DATA_DIR) + "/" + relative;
}

std::string readData(const std::string& relative) {
    return bytesOf(dataPath(relative));
}

void runCases(const std::string& module, const std::function<Outcome(const std::string& input)>& run) {
    std::vector<fs::path> inputs;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dataPath(module), ec))
        if (entry.path().extension() == ".in") inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    ASSERT_FALSE(inputs.empty()) << "no cases in " << dataPath(module);
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(module + "/" + input.filename().string());
        fs::path out = input, err = input;
        out.replace_extension(".out");
        err.replace_extension(".err");
        const Outcome got = run(bytesOf(input));
        if (fs::exists(out)) {
            EXPECT_EQ(withoutFinalBreaks(got.out), withoutFinalBreaks(bytesOf(out)));
            EXPECT_EQ(got.err, "");
        } else if (fs::exists(err)) {
            EXPECT_EQ(withoutFinalBreaks(got.err), withoutFinalBreaks(bytesOf(err)));
        } else {
            ADD_FAILURE() << "the case has neither a .out nor a .err file";
        }
    }
}

std::string visible(const std::wstring& text) {
    std::string shown;
    for (const char c : kiro::io::toUtf8(text)) {
        const char* named = c == '\\'   ? "\\\\"
                            : c == '\n' ? "\\n"
                            : c == '\r' ? "\\r"
                            : c == '\t' ? "\\t"
                            : c == 0    ? "\\0"
                                        : nullptr;
        char hex[8];
        if (!named && (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)) {
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
            named = hex;
        }
        shown += named ? named : std::string(1, c);
    }
    return shown;
}

}  // namespace tavi::test
