// The `vantrel` command line, read into what the command is asked to do.
//
//   vantrel apply INPUT OUTPUT [--commands FILE]... [--command JSON]...
//                 [--param-scale S] [--actions FILE] [--quality Q]
//   vantrel looks INPUT OUTPUT_FOLDER [--size N]
//   vantrel commands
//   vantrel open-url URL
//   vantrel panels
//   vantrel serve [--library DIR] [--port N] [--lan] [--open]
//   vantrel --help | --version
//
// Options of apply may come before, between or after the two paths, as
// "--name value" or "--name=value". Reading checks the command line itself
// (option names, numbers, the JSON text of --command, the output's
// extension); files are read when the command runs.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/web/WebServer.h"
#include "platform/PictureCodec.h"

namespace vantrel::cli {

// One source of commands, in argument order.
struct CommandSource {
    enum class Kind { File, Json };
    Kind kind;
    std::string text;  // the file's path, or the command's JSON text
};

struct ApplyOptions {
    std::string input;
    std::string output;
    PictureFormat outputFormat = PictureFormat::Png;
    std::vector<CommandSource> sources;
    double paramScale = 1.0;
    std::string actionsFile;  // empty: the program's own actions resource
    int quality = kDefaultJpegQuality;
};

constexpr int kDefaultLooksSize = 256;
// The largest shorter side of a contact sheet's looks: fifty looks of a
// 3:2 picture at this size are about 300 megapixels of work and files.
constexpr int kMaxLooksSize = 2048;

struct LooksOptions {
    std::string input;
    std::string outputFolder;
    int size = kDefaultLooksSize;  // pixels on the shorter side, 1 or more
};

struct Invocation {
    enum class Mode { Help, Version, Commands, Panels, Apply, Looks, OpenUrl, Serve };
    Mode mode = Mode::Help;
    ApplyOptions apply;
    LooksOptions looks;
    std::string openUrl;
    web::ServeOptions serve;
};

// What the arguments (without the program's name) ask for, or nothing when
// they are not a valid command line; `error` then says why.
std::optional<Invocation> ParseArguments(std::span<const std::string_view> args,
                                         std::string& error);

// The usage text shown by --help and after a bad command line.
std::string_view UsageText();

}  // namespace vantrel::cli
