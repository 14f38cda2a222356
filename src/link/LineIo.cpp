#include "link/LineIo.h"

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
    std::string chunk = line_.readUntil(clock_.now() + kFirstCharacterWait);
    while (!chunk.empty()) {
        if (chunk == "\r")
            break;
        reply.append(chunk, 0, kMaxReply - reply.size());
        if (reply.size() == kMaxReply)
            break;  // a babbling line: cut the reply here
        chunk = line_.readUntil(clock_.now() + kQuietGap);
    }
    if (!reply.empty() && reply.back() == '\r')
        reply.pop_back();
    return reply;
}

}  // namespace karune
