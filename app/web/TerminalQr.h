// A QR code of a text for a terminal (libqrencode): two rows of modules per
// line in half blocks, black on an explicit white background with a quiet
// zone, so that a phone's camera reads it on dark and light terminals alike.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::web {

// The lines of the code, or empty when the text can't be encoded.
std::string TerminalQrCode(std::string_view text);

}  // namespace vantrel::web
