// Reads the case files under tests/data and compares what a module's runner makes of them.
#include "support/cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <vector>

#include "kiro/io/charset/charset.h"
#include "support/tempfolder.h"

namespace tavi::test {

namespace fs = std::filesystem;

namespace {

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
    return readBytes(fs::path(dataPath(relative)).wstring());
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
        const fs::path out = fs::path(input).replace_extension(".out");
        const fs::path err = fs::path(input).replace_extension(".err");
        const Outcome got = run(readBytes(input.wstring()));
        if (fs::exists(out)) {
            EXPECT_EQ(withoutFinalBreaks(got.out), withoutFinalBreaks(readBytes(out.wstring())));
            EXPECT_EQ(got.err, "");
        } else if (fs::exists(err)) {
            EXPECT_EQ(withoutFinalBreaks(got.err), withoutFinalBreaks(readBytes(err.wstring())));
        } else {
            ADD_FAILURE() << "the case has neither a .out nor a .err file";
        }
    }
}

std::string playSteps(const std::string& script,
                      const std::function<std::string(const std::string& verb, const std::string& arg)>& step) {
    std::istringstream in(script);
    std::string out, line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        out += line + step(line.substr(0, space), space == line.npos ? "" : line.substr(space + 1)) + "\n";
    }
    return out;
}

std::string visible(const std::wstring& text) {
    static const std::map<char, std::string> named = {
        {'\\', "\\\\"}, {'\n', "\\n"}, {'\r', "\\r"}, {'\t', "\\t"}, {'\0', "\\0"}};
    std::string shown;
    for (const char c : kiro::io::toUtf8(text)) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", unsigned(static_cast<unsigned char>(c)));
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        shown += named.count(c) ? named.at(c) : control ? hex : std::string(1, c);
    }
    return shown;
}

}  // namespace tavi::test
