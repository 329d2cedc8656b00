// The routes of the editor's HTTP server: the access rules before every
// request, the JSON API, the event stream, the pictures, and the front end's
// files. Handlers are thin: they read the request, call the shell's
// operation on the main queue and write its answer.
#pragma once

#include <filesystem>

#include "app/web/PagePictures.h"
#include "app/web/WebSecurity.h"
#include "platform/PhotoLibrary.h"
#include "platform/RunningEditor.h"

namespace httplib {
class Server;
}

namespace vantrel::web {

class EditorShell;
class EventStream;
class WebUIServices;

struct ApiContext {
    EditorShell& shell;
    WebUIServices& ui;
    EventStream& events;
    PhotoLibrary library;
    std::filesystem::path webRoot;  // the built front end
    AccessPolicy policy;
    LibraryPictures& libraryPictures;
    EncodedPictureCache& pictureCache;
    // What `vantrel open-url` must present; null until it is published.
    const RunningEditor* runningEditor = nullptr;
};

void InstallRoutes(httplib::Server& server, ApiContext& context);

}  // namespace vantrel::web
