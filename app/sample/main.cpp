// vantrel_sample OUTPUT: writes a 640 x 480 sample picture (a colour
// gradient with a disc and stripes, opaque) for the main job to edit, so that
// the job needs no picture from outside the build.
#include <cstdio>

#include "platform/PictureCodec.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

void PaintPixel(unsigned char* pixel, int x, int y) {
    const int dx = x - kWidth / 2;
    const int dy = y - kHeight / 2;
    const bool inDisc = dx * dx + dy * dy < 120 * 120;
    const bool onStripe = (x / 40) % 2 == 0 && y > kHeight - 80;
    pixel[0] = static_cast<unsigned char>(inDisc ? 240 : x * 255 / (kWidth - 1));
    pixel[1] = static_cast<unsigned char>(inDisc ? 200 : y * 255 / (kHeight - 1));
    pixel[2] = static_cast<unsigned char>(onStripe ? 30 : (x + y) * 255 / (kWidth + kHeight - 2));
    pixel[3] = 255;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel_sample OUTPUT.png\n");
        return 2;
    }
    vantrel::PixelBuffer buffer = vantrel::PixelBuffer::Allocate(kWidth, kHeight);
    if (buffer.empty()) {
        std::fprintf(stderr, "vantrel_sample: out of memory\n");
        return 1;
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) PaintPixel(buffer.data() + (y * kWidth + x) * 4, x, y);
    }
    const vantrel::Result<vantrel::Done> written =
        vantrel::WritePictureFile(buffer.Finish(), argv[1]);
    if (!written) {
        std::fprintf(stderr, "vantrel_sample: %s\n", written.error().c_str());
        return 1;
    }
    return 0;
}
