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
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned long>(text[i]);
        const bool surrogate = code >= 0xD800 && code < 0xE000;
        const bool pair = sizeof(wchar_t) == 2 && code < 0xDC00 && surrogate && i + 1 < text.size() &&
                          (static_cast<unsigned long>(text[i + 1]) & 0xFC00) == 0xDC00;
        const wchar_t* named = code == '\\'   ? L"\\\\"
                               : code == '\n' ? L"\\n"
                               : code == '\r' ? L"\\r"
                               : code == '\t' ? L"\\t"
                               : code == 0    ? L"\\0"
                                              : nullptr;
        wchar_t hex[8];
        if (pair) {
            shown += text.substr(i++, 2);  // one character where wchar_t has 16 bits
        } else if (named) {
            shown += named;
        } else if (code < 0x20 || code == 0x7F || surrogate) {
            std::swprintf(hex, 8, code < 0x80 ? L"\\x%02lX" : L"\\u%04lX", code);
            shown += hex;
        } else {
            shown += text[i];
        }
    }
    return kiro::io::toUtf8(shown);
}

}  // namespace tavi::test
