#include "link/LineIo.h"

#include <algorithm>
#include <utility>

namespace karune {

void LineIo::SendLine(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 1);
    out.append(text);
    out.push_back('\r');
    // The dialogue never looks at write errors: a port that refuses bytes shows up as silence.
    (void)line_.write(out);
}

std::string LineIo::ReceiveLine() {
    std::string reply;
    std::string chunk = pending_.empty() ? line_.readUntil(clock_.now() + kFirstCharacterWait)
                                         : std::exchange(pending_, {});
    while (!chunk.empty()) {
        if (chunk == "\r")
            break;
        const std::size_t taken = std::min(chunk.size(), kMaxReply - reply.size());
        reply.append(chunk, 0, taken);
        if (reply.size() == kMaxReply) {
            // A babbling line: the reply ends here. The rest may hold the modem's last word
            // ("NO CARRIER" after a cut-off), so it begins the next reply.
            pending_ = chunk.substr(taken);
            break;
        }
        chunk = line_.readUntil(clock_.now() + kQuietGap);
    }
    if (!reply.empty() && reply.back() == '\r')
        reply.pop_back();
    return reply;
}

}  // namespace karune
