#include "SimOptions.h"

#include <charconv>
#include <functional>
#include <map>

#include "link/Cp932.h"

namespace karune::modemsim {
namespace {

std::optional<int> number(const std::string& text, int lowest, int highest) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

constexpr int kMaxCount = 1'000'000;

}  // namespace

std::variant<SimOptions, UsageError> parseSimOptions(const std::vector<std::string>& args) {
    SimOptions o;
    using Setter = std::function<std::optional<std::string>(const std::string&)>;
    auto numeric = [](int lowest, int highest, auto apply) -> Setter {
        return [=](const std::string& v) -> std::optional<std::string> {
            const std::optional<int> n = number(v, lowest, highest);
            if (!n) {
                return "expects a number from " + std::to_string(lowest) + " to " +
                       std::to_string(highest) + ", got '" + v + "'";
            }
            apply(*n);
            return std::nullopt;
        };
    };
    auto text = [](std::string& target) -> Setter {
        return [&target](const std::string& v) -> std::optional<std::string> {
            target = v;
            return std::nullopt;
        };
    };
    const std::map<std::string, Setter, std::less<>> withValue = {
        {"--records", text(o.recordsFile)},
        {"--link", text(o.linkPath)},
        {"--connect", text(o.connect)},
        {"--source", text(o.source)},
        {"--name",
         [&](const std::string& v) -> std::optional<std::string> {
             const std::optional<std::string> cp932 = utf8ToCp932(v);
             if (!cp932 || cp932->empty())
                 return "expects a name that CP932 can carry";
             o.terminal.name = *cp932;
             return std::nullopt;
         }},
        {"--protocol", numeric(0, 1, [&](int n) { o.terminal.protocol = n; })},
        {"--crc", numeric(0, 1, [&](int n) { o.terminal.crcType = n; })},
        {"--ring-delay",
         numeric(0, 3600, [&](int n) { o.modem.ringDelay = std::chrono::seconds(n); })},
        {"--calls", numeric(1, kMaxCount, [&](int n) { o.modem.calls = n; })},
        {"--answers", numeric(0, kMaxCount, [&](int n) { o.modem.answers = n; })},
        {"--corrupt", numeric(0, kMaxCount, [&](int n) { o.terminal.corruptSends = n; })},
        {"--repeat", numeric(0, kMaxCount, [&](int n) { o.terminal.repeatRecords = n; })},
        {"--drop-after", numeric(0, kMaxCount, [&](int n) { o.terminal.dropAfter = n; })},
        {"--timeout", numeric(0, 86400, [&](int n) { o.timeout = std::chrono::seconds(n); })},
        {"--drop-mode",
         [&](const std::string& v) -> std::optional<std::string> {
             static const std::map<std::string, DropMode, std::less<>> kModes = {
                 {"silent", DropMode::Silent},
                 {"carrier", DropMode::Carrier},
                 {"close", DropMode::Close}};
             const auto it = kModes.find(v);
             if (it == kModes.end())
                 return "expects silent, carrier or close, got '" + v + "'";
             o.dropMode = it->second;
             return std::nullopt;
         }},
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
            return UsageError{};
        if (arg == "--silent") {
            o.modem.answers = 0;
            continue;
        }
        if (arg == "--pace") {
            o.pace = true;
            continue;
        }
        const auto it = withValue.find(arg);
        if (it == withValue.end())
            return UsageError{"unknown option '" + arg + "'"};
        if (i + 1 == args.size())
            return UsageError{arg + " needs a value"};
        if (std::optional<std::string> problem = it->second(args[++i]))
            return UsageError{arg + " " + *problem};
    }
    if (!o.source.empty() && o.connect.empty())
        return UsageError{"--source needs --connect"};
    if (o.terminal.protocol == 1 && o.terminal.corruptSends > 0)
        return UsageError{"--corrupt needs --protocol 0: plain record lines carry no checksum"};
    return o;
}

std::string usageText(const std::string& program) {
    return "usage: " + program + R"( [options]
Plays the modem and the handheld terminal on a pseudo-terminal; its path is the first line of
standard output. One line per call reports the PC's final word. Exit status: 0 when every call
ended with "ACK", 1 when one did not (or a signal ended the run), 2 for a bad command line or a
set-up failure, 3 when --timeout ran out.

  --records FILE     records to upload, one per line, bytes sent as they are (CP932);
                     without it the terminal sends "END" at once
  --name NAME        file name in the file-name frame (default DATA)
  --protocol 0|1     0 framed records (default), 1 plain record lines
  --crc 0|1          checksum variant of the frames (default 0)
  --ring-delay S     seconds from the modem's "OK" to the first RING (default 2)
  --calls N          calls in a row; a new call rings after each hang-up (default 1)
  --silent           the modem answers nothing
  --answers N        the modem answers its first N commands, then hangs: nothing more, no
                     rings (a pseudo-terminal has no ready line to drop)
  --corrupt N        the first N sends of every record carry a bad checksum
  --repeat N         the first N records are sent once more after their ACK
  --drop-after K     the call drops once K records were acknowledged
  --drop-mode M      how it drops: silent (default), carrier (NO CARRIER), close (the line goes)
  --pace             send at the speed of 38400 baud instead of all at once
  --link PATH        also make PATH a symbolic link to the pseudo-terminal
  --timeout S        give up after S seconds; 0 (default) waits for ever

  --connect HOST:PORT  no modem and no pseudo-terminal: the terminal calls the program's
                     listening line over TCP ([IPV6]:PORT), one connection per call, tried until
                     the program listens; --drop-mode carrier or close leaves the connection
  --source ADDRESS   call from this local address
)";
}

}  // namespace karune::modemsim
