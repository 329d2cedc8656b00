#include "app/cli/CliArguments.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <utility>

#include "commands/Json.h"

namespace vantrel::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: vantrel apply INPUT OUTPUT [--commands FILE]... [--command JSON]...\n"
    "                     [--param-scale S] [--actions FILE] [--quality Q]\n"
    "       vantrel looks INPUT OUTPUT_FOLDER [--size N]\n"
    "       vantrel commands\n"
    "       vantrel open-url URL\n"
    "       vantrel panels\n"
    "       vantrel serve [--library DIR] [--port N] [--lan] [--open]\n"
    "       vantrel --help | --version\n"
    "\n"
    "Vantrel, a photo editor.\n"
    "\n"
    "  apply        runs a list of editing commands on the picture INPUT (PNG or\n"
    "               JPEG, made upright) and writes OUTPUT: PNG for a .png name,\n"
    "               JPEG for .jpg or .jpeg. Nothing is written when a command fails.\n"
    "    --commands FILE   JSON text of an object whose \"commands\" array holds\n"
    "                      command dictionaries; may repeat\n"
    "    --command JSON    one command dictionary, e.g. '{\"cmd\": \"CMD_GRAY\"}';\n"
    "                      may repeat; all commands run in argument order\n"
    "    --param-scale S   factor for spatial parameters (radii, rectangles),\n"
    "                      above 0; default 1\n"
    "    --actions FILE    the named actions that CMD_CALL_ACTION runs\n"
    "    --quality Q       JPEG quality, 1 to 100; default 92\n"
    "  looks        writes every look of the lomo and HDR panels, run on the picture\n"
    "               INPUT scaled to N pixels on its shorter side, as PNG files named\n"
    "               after the looks into OUTPUT_FOLDER, with index.html showing\n"
    "               them by panel section\n"
    "    --size N          the shorter side, default 256; held to 2048 and to the\n"
    "                      picture's own shorter side\n"
    "  commands     lists the commands with their parameters\n"
    "  open-url     hands URL (a sharing sign-in's callback, vantrel://...) to the\n"
    "               running editor; the handler of the vantrel URL scheme\n"
    "  panels       prints the effect panels as JSON: menus, controls, flags\n"
    "  serve        the editor in the browser: serves it on 127.0.0.1 and prints\n"
    "               its address; Ctrl-C stops it\n"
    "    --library DIR     the photo library folder (default: your pictures folder)\n"
    "    --port N          the port, default 8686 (0: any free port)\n"
    "    --lan             listens on every interface for a phone on the same\n"
    "                      network; prints an address with an access token and\n"
    "                      its QR code\n"
    "    --open            opens the address in the desktop's browser\n"
    "  --help       shows this text\n"
    "  --version    shows the version\n"
    "\n"
    "Exit status: 0 done, 1 failed (the reason on standard error), 2 bad arguments.\n";

std::optional<double> ParseScale(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || value <= 0) return std::nullopt;
    return value;
}

std::optional<int> ParseWhole(std::string_view text, int low, int high) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

bool Refuse(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

// Applies one option with its value; false (with `error` set) when it is
// unknown or its value is not acceptable.
bool ApplyOption(std::string_view name, std::string_view value, ApplyOptions& options,
                 std::string& error) {
    if (name == "--commands") {
        options.sources.push_back({CommandSource::Kind::File, std::string(value)});
    } else if (name == "--command") {
        if (!dictionaryWithJSONString(value)) {
            return Refuse(error, "--command needs a command dictionary as JSON text");
        }
        options.sources.push_back({CommandSource::Kind::Json, std::string(value)});
    } else if (name == "--actions") {
        options.actionsFile = value;
    } else if (name == "--param-scale") {
        const std::optional<double> scale = ParseScale(value);
        if (!scale) return Refuse(error, "--param-scale needs a number above 0");
        options.paramScale = *scale;
    } else if (name == "--quality") {
        const std::optional<int> quality = ParseWhole(value, 1, 100);
        if (!quality) return Refuse(error, "--quality needs a whole number from 1 to 100");
        options.quality = *quality;
    } else {
        return Refuse(error, "unknown option " + std::string(name));
    }
    return true;
}

// The value of the option at args[i]: after its "=", else the next argument
// (i then moves past it); nullopt (with `error` set) when there is none.
std::optional<std::string_view> OptionValue(std::span<const std::string_view> args, std::size_t& i,
                                            std::string& error) {
    const std::string_view arg = args[i];
    const std::size_t equals = arg.find('=');
    if (equals != std::string_view::npos) return arg.substr(equals + 1);
    if (i + 1 < args.size()) return args[++i];
    error = std::string(arg) + " needs a value";
    return std::nullopt;
}

// Splits a command's arguments into paths and "--name value" or
// "--name=value" options, handing each option to `option`; false (with
// `error` set) when an option lacks its value or `option` refuses it.
template <typename OptionReader>
bool ReadArguments(std::span<const std::string_view> args, std::vector<std::string_view>& paths,
                   std::string& error, const OptionReader& option) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!arg.starts_with("--")) {
            paths.push_back(arg);
            continue;
        }
        const std::string_view name = arg.substr(0, arg.find('='));
        const std::optional<std::string_view> value = OptionValue(args, i, error);
        if (!value || !option(name, *value)) return false;
    }
    return true;
}

std::optional<Invocation> ParseApply(std::span<const std::string_view> args, std::string& error) {
    Invocation invocation;
    invocation.mode = Invocation::Mode::Apply;
    ApplyOptions& options = invocation.apply;
    std::vector<std::string_view> paths;
    if (!ReadArguments(args, paths, error, [&](std::string_view name, std::string_view value) {
            return ApplyOption(name, value, options, error);
        })) {
        return std::nullopt;
    }
    if (paths.size() != 2) {
        error = "apply needs an INPUT and an OUTPUT picture";
        return std::nullopt;
    }
    options.input = paths[0];
    options.output = paths[1];
    const std::optional<PictureFormat> format = PictureFormatForPath(options.output);
    if (!format) {
        error = "OUTPUT must end in .png, .jpg or .jpeg";
        return std::nullopt;
    }
    options.outputFormat = *format;
    return invocation;
}

std::optional<Invocation> ParseLooks(std::span<const std::string_view> args, std::string& error) {
    Invocation invocation;
    invocation.mode = Invocation::Mode::Looks;
    LooksOptions& options = invocation.looks;
    std::vector<std::string_view> paths;
    if (!ReadArguments(args, paths, error, [&](std::string_view name, std::string_view value) {
            if (name != "--size") return Refuse(error, "unknown option " + std::string(name));
            // Sizes above the largest are held to it when the command runs.
            const std::optional<int> size = ParseWhole(value, 1, INT_MAX);
            if (!size) return Refuse(error, "--size needs a whole number of 1 or more");
            options.size = *size;
            return true;
        })) {
        return std::nullopt;
    }
    if (paths.size() != 2) {
        error = "looks needs an INPUT picture and an OUTPUT_FOLDER";
        return std::nullopt;
    }
    options.input = paths[0];
    options.outputFolder = paths[1];
    return invocation;
}

std::optional<Invocation> ParseServe(std::span<const std::string_view> args, std::string& error) {
    Invocation invocation;
    invocation.mode = Invocation::Mode::Serve;
    web::ServeOptions& options = invocation.serve;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        if (name == "--lan" || name == "--open") {
            if (equals != std::string_view::npos) {
                error = std::string(name) + " takes no value";
                return std::nullopt;
            }
            (name == "--lan" ? options.lan : options.open) = true;
            continue;
        }
        if (name != "--library" && name != "--port") {
            error = arg.starts_with("--") ? "unknown option " + std::string(name)
                                          : "serve takes no paths; the library is --library DIR";
            return std::nullopt;
        }
        const std::optional<std::string_view> found = OptionValue(args, i, error);
        if (!found) return std::nullopt;
        const std::string_view value = *found;
        if (name == "--library") {
            if (value.empty()) {
                error = "--library needs a folder";
                return std::nullopt;
            }
            options.library = value;
        } else {
            const std::optional<int> port = ParseWhole(value, 0, 65535);
            if (!port) {
                error = "--port needs a whole number from 0 to 65535";
                return std::nullopt;
            }
            options.port = *port;
            options.portGiven = true;
        }
    }
    return invocation;
}

}  // namespace

std::optional<Invocation> ParseArguments(std::span<const std::string_view> args,
                                         std::string& error) {
    if (args.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    const std::string_view first = args[0];
    if (first == "apply") return ParseApply(args.subspan(1), error);
    if (first == "looks") return ParseLooks(args.subspan(1), error);
    if (first == "serve") return ParseServe(args.subspan(1), error);
    Invocation invocation;
    if (first == "open-url") {
        if (args.size() != 2 || args[1].empty()) {
            error = "open-url takes one URL";
            return std::nullopt;
        }
        invocation.mode = Invocation::Mode::OpenUrl;
        invocation.openUrl = args[1];
        return invocation;
    }
    if (first == "--help") {
        invocation.mode = Invocation::Mode::Help;
    } else if (first == "--version") {
        invocation.mode = Invocation::Mode::Version;
    } else if (first == "commands") {
        invocation.mode = Invocation::Mode::Commands;
    } else if (first == "panels") {
        invocation.mode = Invocation::Mode::Panels;
    } else {
        error = "unknown command " + std::string(first);
        return std::nullopt;
    }
    if (args.size() != 1) {
        error = std::string(first) + " takes no arguments";
        return std::nullopt;
    }
    return invocation;
}

std::string_view UsageText() {
    return kUsage;
}

}  // namespace vantrel::cli
