// The MeCab loader on Windows against a stand-in libmecab.dll built beside the tests: found on
// the DLL search path, bound by name, and released with the analyser.
#include <windows.h>

#include <gtest/gtest.h>

#include "sorn/analyser.h"

namespace {

TEST(MecabDll, LoadsFromTheSearchPathWalksTheNodesAndReleasesEverything) {
    const char* const argument = "-r sorn/etc/mecabrc -d sorn/dic/unidic";
    ASSERT_EQ(sorn::createAnalyser(argument), nullptr) << "no libmecab.dll should be found here";

    // The stand-in's folder joins the search path, between the program's folder and PATH.
    wchar_t program[MAX_PATH] = {};
    std::wstring folder(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
    ASSERT_TRUE(SetDllDirectoryW((folder.substr(0, folder.find_last_of(L'\\') + 1) + L"mecab-standin").c_str()));
    // A model that cannot start leaves the library unloaded.
    EXPECT_EQ(sorn::createAnalyser("-r sorn/etc/mecabrc -d nowhere"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"libmecab.dll"), nullptr);

    auto analyser = sorn::createAnalyser(argument);
    ASSERT_NE(analyser, nullptr);
    std::vector<std::string> seen;
    // Surfaces are read by their length (they run on into the sentence); the beginning and
    // end nodes are skipped; an empty sentence fails to parse and yields nothing.
    EXPECT_TRUE(analyser->parse({"東京行く", "", "猫犬"}, [&](const char* surface, size_t length, const char* feature) {
        seen.push_back(std::string(surface, length) + "|" + feature);
    }));
    EXPECT_EQ(seen, (std::vector<std::string>{"東京|word,1", "行く|word,2", "猫|word,1", "犬|word,2"}));
    const auto live = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"libmecab.dll"), "standin_live_objects")));
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(live(), 0) << "taggers or lattices left behind";

    analyser.reset();
    EXPECT_EQ(GetModuleHandleW(L"libmecab.dll"), nullptr) << "the library stays loaded";
    SetDllDirectoryW(nullptr);
}

}  // namespace
