// Peak memory of the markup reader on 1 MiB of hostile shapes (deep nesting, runs of '<', long
// names, many empty tags) beside 1 MiB of an ordinary feed, all in one run. Each document is
// read by a fresh process (this program started again with --child), which reports how far its
// resident memory rose above what it held once the document was made, and how many nodes it got.
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "feed.h"
#include "kiro/io/xml.h"

namespace {

constexpr size_t Size = 1 << 20;

std::string repeat(const std::string& piece, size_t bytes) {
    std::string out;
    out.reserve(bytes + piece.size());
    while (out.size() + piece.size() <= bytes) out += piece;
    return out;
}

// The documents: an ordinary feed, then shapes that cost the reader most per byte.
std::string makeShape(const std::string& name) {
    if (name == "feed") return makeFeed(Size);
    // Unclosed start tags, each one level deeper than the last.
    if (name == "deep") return repeat("<a>", Size);
    // The same with names of a thousand characters.
    if (name == "deep-long-names") return repeat("<" + std::string(1000, 'n') + ">", Size);
    // Half the document opens elements, the other half adds siblings at the bottom.
    if (name == "deep-then-siblings") return repeat("<a>", Size / 2) + repeat("<b></b>", Size / 2);
    if (name == "lt-run") return std::string(Size, '<');
    if (name == "empty-tags") return repeat("<>", Size);
    if (name == "one-long-name") return "<" + std::string(Size - 2, 'n') + ">";
    return {};
}

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
size_t statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
            return std::stoull(line.substr(length + 1)) * 1024;
    }
    return 0;
}

int child(const std::string& name) {
    const std::string doc = makeShape(name);
    // Forget the peak of making the document: only the reader's rise counts.
    std::ofstream("/proc/self/clear_refs") << "5";
    const size_t before = statusBytes("VmRSS");
    size_t nodes = 0;
    {
        kiro::io::Xml xml(doc.data(), doc.size());
        nodes = xml.count();
    }
    std::printf("%zu %zu %zu\n", statusBytes("VmHWM") - before, nodes, doc.size());
    return 0;
}

void PeakMemory(benchmark::State& state, const char* name) {
    for (auto _ : state) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            state.SkipWithError("no pipe");
            return;
        }
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(pipeEnds[1], STDOUT_FILENO);
            close(pipeEnds[0]);
            execl("/proc/self/exe", "xml_memory_bench", "--child", name, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        std::string out;
        char buffer[256];
        for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, size_t(n));
        close(pipeEnds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        size_t peak = 0, nodes = 0, bytes = 0;
        std::istringstream fields(out);
        if (!(fields >> peak >> nodes >> bytes) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the child failed");
            return;
        }
        state.counters["input_KiB"] = double(bytes) / 1024;
        state.counters["peak_MiB"] = double(peak) / (1 << 20);
        state.counters["per_input_byte"] = double(peak) / double(bytes);
        state.counters["nodes"] = double(nodes);
    }
}

}  // namespace

BENCHMARK_CAPTURE(PeakMemory, feed, "feed")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PeakMemory, deep, "deep")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PeakMemory, deep_long_names, "deep-long-names")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PeakMemory, deep_then_siblings, "deep-then-siblings")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PeakMemory, lt_run, "lt-run")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PeakMemory, empty_tags, "empty-tags")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PeakMemory, one_long_name, "one-long-name")->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) return child(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
