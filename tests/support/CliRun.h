// The command-line program run in this process, and the files it reads and
// writes.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/CliMain.h"
#include "platform/PictureCodec.h"
#include "support/TestPictures.h"

namespace vantrel::test {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// `vantrel args...` of version 9.8.7.
inline Outcome RunMain(std::vector<std::string> args) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream out, err;
    const int status = cli::Main(views, "9.8.7", out, err);
    return {status, out.str(), err.str()};
}

// The bytes of the picture file at `path`, which must decode.
inline std::vector<std::uint8_t> Decoded(const std::string& path) {
    const Result<Picture> picture = ReadPictureFile(path);
    EXPECT_TRUE(picture.ok()) << path << ": " << picture.error();
    return BytesOf(picture.value());
}

}  // namespace vantrel::test
