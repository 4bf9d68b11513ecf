// libFuzzer target for the readers of flrig's and fldigi's XML-RPC replies over HTTP. Whatever
// the bytes, the readers must stay inside them (the sanitizers watch), and bytes must be
// answered the same however they arrive: in one piece or split at any point, as TCP may
// deliver them. Any violation aborts, which libFuzzer reports with the input that caused it.
#include "rig/poll_protocol.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte chooses where to split the rest.
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t split = data[0] % (bytes.size() + 1);
    for (const auto make : {rig::MakeFlrigProtocol, rig::MakeFldigiProtocol}) {
        const auto whole = make()->Feed(bytes);
        const auto pieces = make();
        // A first piece that is a whole reply is answered alone, as it would be on the wire.
        if (pieces->Feed(bytes.substr(0, split)))
            continue;
        if (pieces->Feed(bytes.substr(split)) != whole) {
            std::fprintf(stderr, "a reply read differently when split\n");
            std::abort();
        }
    }
    return 0;
}
