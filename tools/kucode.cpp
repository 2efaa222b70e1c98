// kucode: writes and reads scrambled text files. "encode" is the authoring
// tool (CR LF header, refuses text the line reader cannot return); the other
// commands run the engine's own functions.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "engine/kucode.h"
#include "platform/files.h"
#include "tools/script_writer.h"
#include "tools/temp_output.h"

namespace {

int Usage() {
    fputs(
        "usage: kucode encode IN OUT\n"
        "       kucode rawencode [--no-encode] IN OUT\n"
        "       kucode decode IN OUT\n"
        "       kucode lines FILE\n",
        stderr);
    return 2;
}

// Refuses, with a line, an output that is the input itself: writing it
// would replace what is still to be read.
bool Distinct(const char* in, const char* out) {
    const std::string why = CheckInputOutput(in, out);
    if (why.empty())
        return true;
    fprintf(stderr, "kucode: %s\n", why.c_str());
    return false;
}

int Encode(const char* in, const char* out) {
    if (!Distinct(in, out))
        return 1;
    std::string plain;
    if (!plat::ReadWholeFile(in, &plain)) {
        fprintf(stderr, "kucode: cannot read %s\n", in);
        return 1;
    }
    std::string error;
    if (!WriteScript(out, plain, &error)) {
        fprintf(stderr, "kucode: %s: %s\n", in, error.c_str());
        return 1;
    }
    return 0;
}

// Runs an engine function from in into a temporary file for out and prints
// its result; the file takes out's place only when the function succeeded.
int Run(const char* in, const char* out, const std::function<int(const char* in, const char* tmp)>& code) {
    if (!Distinct(in, out))
        return 1;
    int r = 0;
    bool ran = false;
    std::string error;
    const bool ok = WriteThroughTemp(
        out,
        [&](const std::string& tmp) {
            ran = true;
            r = code(in, tmp.c_str());
            return r == 0;
        },
        &error);
    if (ran)
        printf("result %d\n", r);
    if (!error.empty())
        fprintf(stderr, "kucode: %s\n", error.c_str());
    return ok ? 0 : 1;
}

// Reads FILE the way the script readers do and prints every line they would
// interpret. The buffer is the scenario reader's 512 bytes, the smallest any
// reader uses (so the limit "encode" enforces).
int Lines(const char* path) {
    FILE* f = plat::OpenFile(path, "rb");
    if (!f) {
        fprintf(stderr, "kucode: cannot read %s\n", path);
        return 1;
    }
    constexpr int kSize = static_cast<int>(kScriptLineLimit) + 1;
    char line[kSize];
    char text[kSize];
    while (CodeFileReadOneLine(f, line, kSize) == 0) {
        if (KUDecodeOneLine(line, kSize, text) == 1)
            continue;
        fputs(text, stdout);
        fputc('\n', stdout);
    }
    fclose(f);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    std::string cmd = argv[1];
    if (cmd == "encode" && argc == 4)
        return Encode(argv[2], argv[3]);
    // The engine's functions write straight into their output and leave it
    // cut when they fail: they write a temporary file put in place when whole.
    if (cmd == "rawencode" && (argc == 4 || (argc == 5 && strcmp(argv[2], "--no-encode") == 0))) {
        const int flags = argc == 5 ? kKuCodeNoEncode : 0;
        return Run(argv[argc - 2], argv[argc - 1],
                   [&](const char* in, const char* tmp) { return KUEncode(in, tmp, flags); });
    }
    if (cmd == "decode" && argc == 4)
        return Run(argv[2], argv[3], KUDecode);
    if (cmd == "lines" && argc == 3)
        return Lines(argv[2]);
    return Usage();
}
