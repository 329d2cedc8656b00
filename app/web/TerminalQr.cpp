#include "app/web/TerminalQr.h"

#include <qrencode.h>

#include <memory>

namespace vantrel::web {
namespace {

constexpr int kQuietZone = 2;

struct QrDeleter {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

}  // namespace

std::string TerminalQrCode(std::string_view text) {
    const std::string copy(text);
    std::unique_ptr<QRcode, QrDeleter> code(
        QRcode_encodeString(copy.c_str(), 0, QR_ECLEVEL_L, QR_MODE_8, 1));
    if (!code) return {};
    const int width = code->width;
    const auto dark = [&](int x, int y) {
        x -= kQuietZone;
        y -= kQuietZone;
        if (x < 0 || y < 0 || x >= width || y >= width) return false;
        return (code->data[y * width + x] & 1) != 0;
    };
    const int side = width + 2 * kQuietZone;
    std::string lines;
    for (int y = 0; y < side; y += 2) {
        lines += "\033[47;30m";
        for (int x = 0; x < side; ++x) {
            const bool top = dark(x, y);
            const bool bottom = y + 1 < side && dark(x, y + 1);
            lines += top ? (bottom ? "\u2588" : "\u2580") : (bottom ? "\u2584" : " ");
        }
        lines += "\033[0m\n";
    }
    return lines;
}

}  // namespace vantrel::web
