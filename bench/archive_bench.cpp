// Extraction of a 50 MB member with FileDiv against a plain copy of the
// same bytes, in the same run. The "ratio" counter is FileDiv's throughput
// as a share of the copy's (target: at least 0.8).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "engine/combine_file.h"
#include "platform/debug_out.h"

namespace {

constexpr size_t kMemberSize = 50u << 20;

// A work folder with dat/Big.dat (one 50 MB member) and plain.bin (the same bytes).
class Fixture {
public:
    Fixture() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kubench-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data()))
            abort();
        dir_ = buf.data();
        if (chdir(dir_.c_str()) != 0)
            abort();
        std::filesystem::create_directories("dat");
        std::filesystem::create_directories("tmp");
        std::string data(kMemberSize, '\0');
        uint32_t x = 12345;
        for (char& c : data)
            c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
        std::string header = "FILECMB-DATA-LIST-IN\n";
        std::string line = "big.bin 51 " + std::to_string(51 + kMemberSize) + "\r\n";
        header += line + "LIST-END\n";
        if (header.size() != 51)
            abort();
        Write("dat/Big.dat", header + data);
        Write("plain.bin", data);
    }
    ~Fixture() { std::filesystem::remove_all(dir_); }

private:
    static void Write(const char* path, const std::string& bytes) {
        FILE* f = fopen(path, "wb");
        if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
            abort();
        fclose(f);
    }
    std::string dir_;
};

Fixture& Work() {
    static Fixture fixture;
    return fixture;
}

// The baseline: read and write through a 1 MB buffer.
bool PlainCopy(const char* from, const char* to) {
    FILE* in = fopen(from, "rb");
    FILE* out = fopen(to, "wb");
    if (!in || !out)
        abort();
    static std::vector<char> buf(1 << 20);
    size_t n, total = 0;
    while ((n = fread(buf.data(), 1, buf.size(), in)) > 0)
        total += fwrite(buf.data(), 1, n, out);
    fclose(in);
    fclose(out);
    return total == kMemberSize;
}

void Extract() {
    if (FileDiv("dat/Big.dat", "tmp/", "big.bin") != 1)
        abort();
}

double Seconds(void (*f)()) {
    // <chrono> does not compile with a Shift-JIS execution character set.
    timespec t0{}, t1{};
    clock_gettime(CLOCK_MONOTONIC, &t0);
    f();
    clock_gettime(CLOCK_MONOTONIC, &t1);
    return static_cast<double>(t1.tv_sec - t0.tv_sec) + static_cast<double>(t1.tv_nsec - t0.tv_nsec) * 1e-9;
}

void BM_FileDivExtract(benchmark::State& state) {
    Work();
    for ([[maybe_unused]] auto _ : state)
        Extract();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMemberSize));
}

void BM_PlainCopy(benchmark::State& state) {
    Work();
    for ([[maybe_unused]] auto _ : state)
        PlainCopy("plain.bin", "tmp/copy.bin");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kMemberSize));
}

// Both in turn in every iteration, so that both see the same machine state.
void BM_ExtractVsCopyRatio(benchmark::State& state) {
    Work();
    double extract = 0, copy = 0;
    for ([[maybe_unused]] auto _ : state) {
        copy += Seconds([] { PlainCopy("plain.bin", "tmp/copy.bin"); });
        extract += Seconds(Extract);
    }
    state.counters["ratio"] = copy / extract;
    state.counters["filediv_MBps"] = state.iterations() * (kMemberSize / 1048576.0) / extract;
    state.counters["copy_MBps"] = state.iterations() * (kMemberSize / 1048576.0) / copy;
}

BENCHMARK(BM_FileDivExtract)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExtractVsCopyRatio)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
