// vyrddjvu bzz FILE OUT

#include "BzzDecoder.h"
#include "Commands.h"
#include "ToolPlatform.h"

#include <cstdio>
#include <vector>

namespace vyrddjvu {

bool ReadWholeFile(const std::u16string& path, std::vector<uint8_t>& bytes) {
    std::FILE* file = OpenForReading(path);
    if (file == nullptr) {
        PrintError("cannot open ", path);
        return false;
    }
    bytes.clear();
    uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    if (!ok || bytes.size() > UINT32_MAX) {
        PrintError("cannot read ", path);
        return false;
    }
    return true;
}

int RunBzz(const Arguments& args) {
    if (args.size() != 2) {
        PrintError("usage: vyrddjvu bzz FILE OUT");
        return kExitUsage;
    }
    std::vector<uint8_t> input;
    if (!ReadWholeFile(args[0], input)) {
        return kExitFailure;
    }
    std::FILE* out = OpenForWriting(args[1]);
    if (out == nullptr) {
        PrintError("cannot create ", args[1]);
        return kExitFailure;
    }
    vyrd::CBzzDecoder bzz(vyrd::CByteRange(input.data(), static_cast<uint32_t>(input.size())));
    std::vector<uint8_t> buffer(1 << 16);
    bool ok = true;
    uint32_t n;
    while (ok && (n = bzz.read(buffer.data(), static_cast<uint32_t>(buffer.size()))) > 0) {
        ok = std::fwrite(buffer.data(), 1, n, out) == n;
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        PrintError("cannot write ", args[1]);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace vyrddjvu
