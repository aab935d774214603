// Fuzz target for kvo2-render's command line: any argument vector (the input
// split at NUL bytes). The parser refuses with one line of text, or accepts
// exactly what the arguments say, each value in its range.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "options.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// A value as a person means it: decimal digits alone, leading zeros allowed,
// up to 4294967295.
uint32_t Number(const std::string& text) {
    uint32_t v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    Check(error == std::errc() && end == text.data() + text.size());
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args;
    if (size > 0) args.emplace_back();
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) args.emplace_back();
        else args.back() += static_cast<char>(data[i]);
    }

    render::RenderOptions o;
    std::string error;
    if (!render::ParseRenderOptions(args, o, error)) {
        Check(!error.empty());
        for (const unsigned char c : error) Check(c >= 0x20 && c != 0x7f);
        return 0;
    }
    const auto has = [&](const char* arg) { return std::find(args.begin(), args.end(), arg) != args.end(); };
    if (o.help || o.version) {
        Check(o.help != o.version && (o.help ? has("--help") || has("-h") : has("--version")));
        return 0;
    }
    // Accepted: read the arguments plainly, "--name=VALUE" or "--name VALUE",
    // each name once, "--" at most at the end.
    std::map<std::string, std::string> said;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        if (name == "--" && i + 1 == args.size()) break;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        } else {
            Check(i + 1 < args.size());
            value = args[++i];
        }
        Check(said.emplace(name, value).second);
    }
    std::set<std::string> names;
    for (const auto& [name, value] : said) names.insert(name);
    Check(!o.out.empty() && o.out == said["--out"]);
    // The format is the row of the table named by the name's end, in any case,
    // of the kind asked for, and this build writes it.
    std::string end = o.out.substr(o.out.find_last_of('.') + 1);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const render::Format* format = nullptr;
    for (const render::Format& f : render::Formats())
        if (end == f.name) format = &f;
    Check(o.out.find('.') != std::string::npos && format && o.format == format && format->write);
    Check(o.clip == (format->kind == render::Kind::Clip));
    if (o.clip) {
        names.erase("--threads");
        Check(names == std::set<std::string>{"--from", "--to", "--fps", "--out"});
        Check(o.from == Number(said["--from"]) && o.to == Number(said["--to"]) &&
              o.fps == Number(said["--fps"]));
        Check(o.from < o.to && o.fps >= 1 && o.fps <= format->maxFps);
        Check(said.count("--threads") ? o.threads == Number(said["--threads"]) && o.threads <= 64 : o.threads == 0);
    } else {
        Check(names == std::set<std::string>{"--time", "--out"});
        Check(o.time == Number(said["--time"]));
    }
    return 0;
}
