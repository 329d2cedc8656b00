// Pictures and test files shared by the platform tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Picture.h"
#include "support/TestImages.h"

namespace vantrel::test {

using Bytes = std::vector<unsigned char>;

// A picture whose pixel (x, y) is rule(x, y); the rule gives premultiplied
// bytes R, G, B, A.
Picture MakePicture(int width, int height, const std::function<Rgba(int x, int y)>& rule);

// A smooth opaque photo-like picture with some texture.
Picture PhotoPicture(int width, int height);

Rgba PixelOf(const Picture& picture, int x, int y);

// Every byte of the picture, row after row.
std::vector<std::uint8_t> BytesOf(const Picture& picture);

// A file of the shared test data folder (pngsuite/..., photos/...).
std::string TestDataPath(const std::string& relative);
// A file of the source tree (resources/..., tests/golden/...).
std::string SourcePath(const std::string& relative);
// The vantrel program of this build.
std::string ProgramPath();
std::vector<unsigned char> ReadTestData(const std::string& relative);

// Picture files built byte by byte, for kinds and damage the codecs never
// write. A PNG chunk: its length, type, data and the CRC of type and data.
Bytes PngChunk(const std::string& type, const Bytes& data);
// A PNG whose header claims width x height in `bitDepth` and `colourType`,
// then `chunks` (PLTE, tRNS, ...), then the rows of `samples` (packed as
// the kind stores them; as many as there are) deflated, then its end.
Bytes PngFile(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
              const Bytes& samples, const std::vector<Bytes>& chunks = {});
// A big-endian TIFF block whose first directory holds only an orientation.
Bytes OrientationTiff(int orientation);
// A JPEG marker segment: the marker, its length and the payload.
Bytes JpegSegment(unsigned char marker, const Bytes& payload);

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

inline Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline std::string TextOf(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The permission bits of the file at `path` (of a link itself, not its target).
unsigned PermissionsOf(const std::string& path);

// A fresh empty folder for one test's files, removed with its contents when
// the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    // The names of the files in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string m_path;
};

}  // namespace vantrel::test
