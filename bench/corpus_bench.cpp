// Corpus learning throughput (analysis plus learning, piece by piece as a brain learns a corpus
// file) against the mecab command on the same text with the same dictionary, and the private
// memory of the process at its peak while learning and after.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "kiro/io/charset/charset.h"
#include "sorn/sorn.h"
#include "tavi/oreb/corpus.h"

namespace {

namespace fs = std::filesystem;

// Sentences written for this benchmark; lines combine them in a fixed pseudo-random order.
const char* const Sentences[] = {
    "朝早く目が覚めたので、近所の川沿いをゆっくり散歩した。",
    "駅前のパン屋では焼きたてのクロワッサンが三百円で売られている。",
    "昨日の夕方から降り続いた雨は、夜中になってようやく止んだ。",
    "妹は図書館で借りた古い地図を眺めながら、夏休みの旅行の計画を立てていた。",
    "この町の商店街は狭いけれど、昔ながらの店が多くて歩くのが楽しい。",
    "新しい机を窓際に置いたら、部屋全体が明るくなったような気がする。",
    "祖母の畑でとれたトマトは甘くて、そのまま食べても十分においしい。",
    "会議が長引いたせいで、予定していた電車に乗り遅れてしまった。",
    "山の上の小さな神社からは、晴れた日には遠くの海まで見渡せる。",
    "彼女は毎朝同じ喫茶店で、熱いコーヒーを一杯だけ飲んでから仕事に向かう。",
    "公園の桜が満開になり、週末は家族連れでとても賑やかだった。",
    "冷蔵庫に残っていた野菜で、簡単なスープを作ってみた。",
    "猫が日当たりのいい縁側で丸くなって、気持ちよさそうに眠っている。",
    "来月から始まる講座では、写真の基本的な撮り方を学ぶつもりだ。",
    "古い友人から久しぶりに手紙が届いて、懐かしい気持ちになった。",
    "北海道の冬は厳しいが、雪に覆われた景色は本当に美しい。",
    "子どもたちは校庭の隅で、落ち葉を集めて大きな山を作っていた。",
    "台所の蛇口から水が漏れていたので、午後に修理の人を呼んだ。",
    "京都の寺を巡る途中で、静かな庭のある茶屋に立ち寄った。",
    "夜空に浮かぶ丸い月を見上げながら、兄と将来のことを話した。",
    "このパソコンは少し重いけれど、画面が大きくて作業がしやすい。",
    "港の市場では、朝に揚がったばかりの新鮮な魚が並んでいる。",
    "先生は難しい問題を、誰にでも分かる短い言葉で説明してくれた。",
    "帰り道の坂は急で長いので、自転車を押して登ることにしている。",
    "春になると、庭の梅の木に小さな鳥がよく遊びに来る。",
    "明日は朝から晴れるそうなので、布団を干して部屋の掃除をしよう。",
};
constexpr size_t SentenceCount = sizeof(Sentences) / sizeof(Sentences[0]);
constexpr size_t TextBytes = 3 * 1024 * 1024;

struct Fixture {
    fs::path appFolder;
    fs::path textFile;
    std::string utf8;
    std::wstring text;
    bool ready = false;
};

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

// Throughput per second of processor time, comparable while other programs load the machine.
void setCpuThroughput(benchmark::State& state, double cpuSeconds, size_t bytes) {
    if (cpuSeconds > 0) {
        state.counters["cpu_MiB_per_s"] =
            static_cast<double>(state.iterations() * bytes) / cpuSeconds / (1024 * 1024);
    }
}

fs::path findAppFolder() {
    if (const char* dir = std::getenv("TAVI_APP_DIR")) return fs::absolute(dir);
    // The bench programs live in build/bench; the application folder in build/app.
    return fs::canonical("/proc/self/exe").parent_path().parent_path() / "app";
}

Fixture& fixture() {
    static Fixture f;
    if (f.ready) return f;
    f.appFolder = findAppFolder();
    uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<size_t>(state >> 33);
    };
    while (f.utf8.size() < TextBytes) {
        const size_t count = 1 + next() % 4;
        for (size_t i = 0; i < count; ++i) f.utf8 += Sentences[next() % SentenceCount];
        f.utf8 += '\n';
    }
    f.text = kiro::io::fromUtf8(f.utf8);
    f.textFile = fs::temp_directory_path() / ("tavi-corpus-bench-" + std::to_string(getpid()) + ".txt");
    std::ofstream(f.textFile, std::ios::binary) << f.utf8;
    fs::current_path(f.appFolder);
    if (!sorn::initialize()) {
        std::cerr << "sorn could not start in " << f.appFolder << "\n";
        std::exit(1);
    }
    f.ready = true;
    return f;
}

// The mecab command, started once per iteration, reading the text file line by line.
void MecabCommand(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string command = "mecab -r sorn/etc/mecabrc -d sorn/dic/unidic -o /dev/null '" +
                                f.textFile.string() + "'";
    const double cpuBefore = childrenCpuSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("the mecab command failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.utf8.size()));
    setCpuThroughput(state, childrenCpuSeconds() - cpuBefore, f.utf8.size());
}

// What a brain does with one corpus file: analyse the text and learn its tokens, piece by piece.
void CorpusLearning(benchmark::State& state) {
    Fixture& f = fixture();
    const std::atomic<bool> stop{false};
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        tavi::oreb::Corpus corpus(3);
        corpus.learnText(f.text, stop);
        benchmark::DoNotOptimize(corpus.links().size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * f.utf8.size()));
    setCpuThroughput(state, processCpuSeconds() - cpuBefore, f.utf8.size());
}

struct Memory {
    double privateKiB = 0;     // Private_Clean + Private_Dirty outside the dictionary
    double dictionaryKiB = 0;  // resident pages of the mapped dictionary files
    double totalKiB = 0;
    double peakKiB = 0;        // the high-water mark of the resident set
};

Memory residentMemory() {
    Memory m;
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inDictionary = false;
    while (std::getline(smaps, line)) {
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key.empty()) continue;
        if (key.back() != ':') {
            // A mapping header: address range, permissions, offset, device, inode, path.
            inDictionary = line.find("/dic/unidic/") != std::string::npos ||
                           line.find("/mecab/dic/") != std::string::npos;
            continue;
        }
        double kib = 0;
        fields >> kib;
        if (key == "Rss:") {
            m.totalKiB += kib;
            if (inDictionary) m.dictionaryKiB += kib;
        } else if ((key == "Private_Clean:" || key == "Private_Dirty:") && !inDictionary) {
            m.privateKiB += kib;
        }
    }
    std::ifstream status("/proc/self/status");
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) m.peakKiB = std::stod(line.substr(6));
    }
    return m;
}

// A process that has started sorn and learns the corpus once (the first benchmark run, so
// nothing before it has raised the high-water marks): the largest private memory seen while
// learning, sampled every 20 ms, and where the memory sits afterwards.
void ResidentMemory(benchmark::State& state) {
    Fixture& f = fixture();
    tavi::oreb::Corpus corpus(3);
    std::atomic<bool> done{false};
    double peakPrivateKiB = residentMemory().privateKiB;
    std::thread sampler([&] {
        while (!done) {
            peakPrivateKiB = std::max(peakPrivateKiB, residentMemory().privateKiB);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    for (auto _ : state) corpus.learnText(f.text, done);
    done = true;
    sampler.join();
    const Memory m = residentMemory();
    state.counters["peak_private_MiB"] = std::max(peakPrivateKiB, m.privateKiB) / 1024;
    state.counters["private_MiB"] = m.privateKiB / 1024;
    state.counters["dictionary_MiB"] = m.dictionaryKiB / 1024;
    state.counters["rss_MiB"] = m.totalKiB / 1024;
    state.counters["peak_rss_MiB"] = m.peakKiB / 1024;
    state.counters["nouns"] = static_cast<double>(corpus.links().size());
}

}  // namespace

BENCHMARK(ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(MecabCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);
BENCHMARK(CorpusLearning)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove(fixture().textFile, ignored);
    return 0;
}
