// Builds a value tree from the same JSON file with json11w (bytes to tree as kiro::io::JsonFile
// reads a file: character-set check, then the parse, whose strings come out wide) and with
// nlohmann::json (bytes to tree) at 100 KB, 1 MB and 10 MB, generated at run time. The Walk
// pair then also reads every string, array and object of the tree they built. json11w runs as
// a job reading files one after another does, keeping large blocks from one document for the
// next (kiro::io::pages::Reuse); Json11wRatio also gives the ratio without that.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "kiro/io/charset/charset.h"
#include "kiro/io/json11/json11w.h"
#include "kiro/io/jsonfile.h"
#include "kiro/io/pages.h"
#include "ratio.h"

namespace {

// Lines in the style of the characters' tables (our own words), mixed with ASCII settings.
const char* const phrases[] = {
    "おはよう、今日もいい天気だね",  "%hour%時%minute%分になったよ", "ちょっと休憩しない？",
    "新しい記事が届いたみたい",      "画面を消すね、おやすみ",       "わっ、持ち上げないで",
    "着地成功！",                    "%keyword%って何だろう",        "お茶でも飲もうかな",
    "standby", "idle", "speak", "images/face_01.png", "a longer ASCII line with \\\"quotes\\\" and \\\\ slashes",
};

// A deterministic document of roughly the given size in UTF-8.
std::string makeDocument(size_t target) {
    std::string out = "{\n";
    uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state](uint64_t n) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state % n;
    };
    const size_t count = sizeof phrases / sizeof phrases[0];
    for (int member = 0; out.size() < target; ++member) {
        if (member) out += ",\n";
        out += "  \"event_" + std::to_string(member) + "\": {\"action\": \"" + phrases[9 + next(3)] +
               "\", \"weight\": " + std::to_string(next(100000)) + ", \"scale\": " +
               std::to_string(next(1000)) + "." + std::to_string(next(1000)) +
               ", \"loop\": " + (next(2) ? "true" : "false") + ", \"texts\": [";
        const uint64_t lines = 1 + next(6);
        for (uint64_t l = 0; l < lines; ++l) {
            if (l) out += ", ";
            out += "\"";
            out += phrases[next(count)];
            out += "\"";
        }
        out += "], \"frame\": {\"x\": " + std::to_string(next(400)) + ", \"y\": " +
               std::to_string(next(400)) + ", \"delay\": 0.05, \"next\": null}}";
    }
    out += "\n}\n";
    return out;
}

const std::string& document(size_t size) {
    static std::map<size_t, std::string> documents;
    auto it = documents.find(size);
    if (it == documents.end()) it = documents.emplace(size, makeDocument(size)).first;
    return it->second;
}

void Json11w(benchmark::State& state) {
    const std::string& bytes = document(size_t(state.range(0)));
    const kiro::io::pages::Reuse job;
    for (auto _ : state) {
        kiro::io::JsonFile file(bytes.data(), bytes.size());
        if (file.failed() || !file.root().is_object()) state.SkipWithError("json11w failed");
        benchmark::DoNotOptimize(file.root());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void Nlohmann(benchmark::State& state) {
    const std::string& bytes = document(size_t(state.range(0)));
    for (auto _ : state) {
        nlohmann::json root = nlohmann::json::parse(bytes);
        if (!root.is_object()) state.SkipWithError("nlohmann failed");
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void Json11wRatio(benchmark::State& state) {
    const std::string& small = document(1000 * 1000);
    const std::string& large = document(10 * 1000 * 1000);
    const auto parse = [](const std::string& bytes) {
        kiro::io::JsonFile file(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(file.root());
    };
    pairedRatio(state, [&] { parse(small); }, [&] { parse(large); });
}

// Reads every value: each string's characters, each array's items and each object's members
// through the ordered map it hands out.
size_t walk(const json11w::Json& value) {
    size_t sum = value.string_value().size();
    for (const json11w::Json& item : value.array_items()) sum += walk(item);
    for (const auto& [key, item] : value.object_items()) sum += key.size() + walk(item);
    return sum;
}

size_t walk(const nlohmann::json& value) {
    size_t sum = value.is_string() ? value.get_ref<const std::string&>().size() : 0;
    if (value.is_array())
        for (const nlohmann::json& item : value) sum += walk(item);
    if (value.is_object())
        for (const auto& [key, item] : value.items()) sum += key.size() + walk(item);
    return sum;
}

void Json11wWalk(benchmark::State& state) {
    const std::string& bytes = document(size_t(state.range(0)));
    const kiro::io::pages::Reuse job;
    for (auto _ : state) {
        kiro::io::JsonFile file(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(walk(file.root()));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void NlohmannWalk(benchmark::State& state) {
    const std::string& bytes = document(size_t(state.range(0)));
    for (auto _ : state) {
        nlohmann::json root = nlohmann::json::parse(bytes);
        benchmark::DoNotOptimize(walk(root));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

// The wide path on its own, as text that is not plain UTF-8 takes it: decoding, then the
// parse of the decoded text.
void Json11wDecodeOnly(benchmark::State& state) {
    const std::string& bytes = document(size_t(state.range(0)));
    for (auto _ : state) {
        std::wstring text = kiro::io::decode(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void Json11wParseOnly(benchmark::State& state) {
    const std::string& bytes = document(size_t(state.range(0)));
    const std::wstring text = kiro::io::decode(bytes.data(), bytes.size());
    const kiro::io::pages::Reuse job;
    for (auto _ : state) {
        std::wstring err;
        json11w::Json root = json11w::Json::parse(text, err);
        benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

constexpr int64_t KB = 1000, MB = 1000 * KB;

}  // namespace

BENCHMARK(Json11w)->Arg(100 * KB)->Arg(MB)->Arg(10 * MB)->Unit(benchmark::kMillisecond);
BENCHMARK(Nlohmann)->Arg(100 * KB)->Arg(MB)->Arg(10 * MB)->Unit(benchmark::kMillisecond);
BENCHMARK(Json11wRatio)->ArgName("reuse")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(Json11wWalk)->Arg(100 * KB)->Arg(MB)->Arg(10 * MB)->Unit(benchmark::kMillisecond);
BENCHMARK(NlohmannWalk)->Arg(100 * KB)->Arg(MB)->Arg(10 * MB)->Unit(benchmark::kMillisecond);
BENCHMARK(Json11wDecodeOnly)->Arg(100 * KB)->Arg(MB)->Arg(10 * MB)->Unit(benchmark::kMillisecond);
BENCHMARK(Json11wParseOnly)->Arg(100 * KB)->Arg(MB)->Arg(10 * MB)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
