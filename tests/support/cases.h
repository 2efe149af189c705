// Test cases kept as files: tests/data/<module>/<case>.in holds the input bytes, and beside it
// <case>.out holds the expected output or <case>.err the expected error text. One runner per
// module turns an input into an Outcome; a new case is a new pair of files.
#pragma once

#include <functional>
#include <string>

namespace tavi::test {

// A path under tests/data (TAVI_TEST_DATA, else the source tree's folder), and a file's bytes.
std::string dataPath(const std::string& relative);
std::string readData(const std::string& relative);

// What the code under test made of one input: its output, or the error text it gave.
struct Outcome {
    std::string out;
    std::string err;
};

// Runs `run` on every case of tests/data/<module> and checks each outcome against the case's
// .out (the error must then be empty) or .err file. Line breaks at the end of either side are
// ignored. A module without cases fails.
void runCases(const std::string& module, const std::function<Outcome(const std::string& input)>& run);

// Plays a step script, one step a line: `step` gets the line's first word and the rest, and
// its answer follows the line in what comes back.
std::string playSteps(const std::string& script,
                      const std::function<std::string(const std::string& verb, const std::string& arg)>& step);

// Wide text as UTF-8 on one line: control characters become \n, \r, \t, \0 or \xNN, and a
// backslash becomes \\.
std::string visible(const std::wstring& text);

}  // namespace tavi::test
