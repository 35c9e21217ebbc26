// libFuzzer entry point for the BZZ decoder (and the ZP decoder under it): the
// input is a compressed stream, read back through every kind of read.

#include "BzzDecoder.h"
#include "FuzzInput.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) {
        return 0;
    }
    const FuzzInput input(data, size);
    // Most runs refuse blocks above 64 KiB: a block of millions of symbols
    // decoded from filler costs a run thousands of times more than a small one
    // and finds nothing new. Inputs whose first byte is 0xFF keep the full
    // limit.
    const bool fullLimit = size > 0 && data[0] == 0xFF;
    vyrd::CBzzDecoder bzz(input.Range(), fullLimit ? vyrd::CBzzDecoder::kMaxBlockSize : 1u << 16);
    // The first bytes choose how the rest is read, so that every read path
    // meets every kind of block boundary.
    uint8_t buffer[4099];
    uint32_t piece = 1 + (size > 0 ? data[0] : 0) * 16;
    for (int step = 0; !bzz.Eof(); ++step) {
        switch (step % 5) {
            case 0:
                bzz.read(buffer, piece < sizeof(buffer) ? piece : sizeof(buffer));
                break;
            case 1:
                bzz.ReadU24();
                break;
            case 2:
                bzz.ReadString();
                break;
            case 3:
                bzz.read(nullptr, piece * 7);
                break;
            default:
                bzz.ReadU16();
                bzz.ReadByte();
                break;
        }
        piece = piece * 3 % 4093 + 1;
    }
    return 0;
}
