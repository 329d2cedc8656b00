// `vantrel serve`: the editor in the browser. One editing session (the
// program is one person's editor) behind an HTTP server: a JSON API for the
// user's actions, an event stream of the editor's state, the pictures it
// shows, and the built front end.
//
// It binds 127.0.0.1 unless --lan asks for every interface; then every
// request must carry a fresh random access token (printed in the URL and as
// a QR code in the terminal, kept by the browser as a cookie). The program's
// main thread runs the main queue, where the models live; the HTTP threads
// parse, hand each action to the main queue and serialise the answer.
// SIGINT and SIGTERM stop it: the requests end, work in flight (a save, a
// step) finishes, the settings are saved; every file is written whole.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace vantrel::web {

inline constexpr int kDefaultPort = 8686;

struct ServeOptions {
    std::string library;  // empty: the user's pictures folder
    int port = kDefaultPort;
    bool portGiven = false;  // a taken default port falls back to a free one
    bool lan = false;
    bool open = false;
};

// Runs until a stop signal; 0 after a clean stop, 1 when the server can't
// start (the reason on `err`).
int RunServer(const ServeOptions& options, std::string_view version, std::ostream& out,
              std::ostream& err);

}  // namespace vantrel::web
