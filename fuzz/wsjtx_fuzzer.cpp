// libFuzzer target for the reader of WSJT-X's and JTDX's datagrams, which anything on the
// machine can send to the port. Whatever the bytes, the reader must stay inside them (the
// sanitizers watch), and a datagram it reads must read the same with bytes appended, as later
// schema versions append fields. Any violation aborts, which libFuzzer reports with the input
// that caused it.
#include "rig/wsjtx_datagram.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto message = rig::wsjtx::ReadDatagram(bytes);
    if (message && rig::wsjtx::ReadDatagram(bytes + std::string(3, '\x01')) != message) {
        std::fprintf(stderr, "a datagram read differently with bytes appended\n");
        std::abort();
    }
    return 0;
}
