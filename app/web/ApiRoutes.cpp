#include "app/web/ApiRoutes.h"

#include <httplib.h>

#include <chrono>
#include <optional>
#include <string>

#include "Share/OAuthCallback.h"
#include "app/web/EditorShell.h"
#include "app/web/EventStream.h"
#include "app/web/MainQueueCall.h"
#include "app/web/WebUIServices.h"
#include "commands/Json.h"
#include "editing/GradientImage.h"
#include "editing/StateValues.h"
#include "editing/panels/PanelSchema.h"
#include "platform/Files.h"
#include "platform/PictureCodec.h"
#include "platform/Resources.h"

namespace vantrel::web {
namespace {

using httplib::Request;
using httplib::Response;

constexpr auto kKeepAlive = std::chrono::seconds(15);
constexpr std::size_t kMaxDownloadBytes = std::size_t{256} << 20;
constexpr int kMaxLibraryPage = 200;

void ReplyJson(Response& res, const Dictionary& body, int status = 200) {
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(jsonStringValue(body), "application/json");
}

void ReplyError(Response& res, int status, const std::string& message) {
    ReplyJson(res, Dictionary{{"error", Value(message)}}, status);
}

void Reply(Response& res, const std::optional<ActionResult>& result) {
    if (!result) {
        ReplyError(res, 503, "The editor is busy or stopping; try again.");
    } else if (result->ok()) {
        ReplyJson(res, Dictionary{{"ok", Value(true)}});
    } else {
        ReplyError(res, result->status, result->error);
    }
}

// The request's JSON object, or nothing (the reply already written).
std::optional<Dictionary> Body(const Request& req, Response& res) {
    std::optional<Dictionary> body = dictionaryWithJSONString(req.body);
    if (!body) ReplyError(res, 400, "The request is not a JSON object.");
    return body;
}

std::optional<double> Number(const Dictionary& body, std::string_view key) {
    const Value* value = body.find(key);
    if (!value || !value->isNumber()) return std::nullopt;
    const double number = value->doubleValue();
    if (!std::isfinite(number)) return std::nullopt;
    return number;
}

std::optional<int> Whole(const Dictionary& body, std::string_view key) {
    const std::optional<double> number = Number(body, key);
    if (!number || *number < -1e9 || *number > 1e9) return std::nullopt;
    return static_cast<int>(*number);
}

std::string Text(const Dictionary& body, std::string_view key) {
    const Value* value = body.find(key);
    return value && value->isText() ? *value->text() : std::string();
}

int QueryInt(const Request& req, const char* name, int fallback) {
    if (!req.has_param(name)) return fallback;
    try {
        return std::stoi(req.get_param_value(name));
    } catch (...) {
        return fallback;
    }
}

std::optional<TouchPhase> PhaseNamed(std::string_view name) {
    if (name == "began") return TouchPhase::Began;
    if (name == "moved") return TouchPhase::Moved;
    if (name == "ended") return TouchPhase::Ended;
    if (name == "cancelled") return TouchPhase::Cancelled;
    return std::nullopt;
}

std::optional<TouchEvent> Touch(const Dictionary& body) {
    const std::optional<TouchPhase> phase = PhaseNamed(Text(body, "phase"));
    const auto x = Number(body, "x");
    const auto y = Number(body, "y");
    const auto width = Number(body, "width");
    const auto height = Number(body, "height");
    if (!phase || !x || !y || !width || !height || *width <= 0 || *height <= 0 ||
        std::abs(*x) > 1e6 || std::abs(*y) > 1e6 || *width > 1e6 || *height > 1e6) {
        return std::nullopt;
    }
    return TouchEvent{*phase,
                      {static_cast<float>(*x), static_cast<float>(*y)},
                      {static_cast<float>(*width), static_cast<float>(*height)}};
}

void SendPicture(Response& res, ApiContext& context, const std::string& key,
                 const std::optional<Picture>& picture) {
    if (!picture) return ReplyError(res, 503, "The editor is busy or stopping; try again.");
    if (picture->empty()) return ReplyError(res, 404, "That picture is no longer shown.");
    EncodedPicture encoded;
    if (!context.pictureCache.find(key, encoded)) {
        Result<EncodedPicture> made = EncodeForPage(*picture);
        if (!made) return ReplyError(res, 500, made.error());
        encoded = std::move(made).value();
        context.pictureCache.add(key, encoded);
    }
    // The URL carries the picture's version: what it names never changes.
    res.set_header("Cache-Control", "private, max-age=86400, immutable");
    res.set_content(std::move(encoded.bytes), encoded.contentType);
}

const char* MimeType(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".html") return "text/html; charset=utf-8";
    if (extension == ".js") return "text/javascript; charset=utf-8";
    if (extension == ".css") return "text/css; charset=utf-8";
    if (extension == ".svg") return "image/svg+xml";
    if (extension == ".png") return "image/png";
    if (extension == ".json" || extension == ".webmanifest") return "application/json";
    if (extension == ".ico") return "image/x-icon";
    return "application/octet-stream";
}

void SetPageHeaders(Response& res) {
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("X-Frame-Options", "DENY");
    res.set_header("Content-Security-Policy",
                   "default-src 'self'; img-src 'self' blob: data:; style-src 'self' "
                   "'unsafe-inline'; frame-ancestors 'none'; base-uri 'none'");
}

// ---- the access rules ----

httplib::Server::HandlerResponse CheckAccess(ApiContext& context, const Request& req,
                                             Response& res) {
    SetPageHeaders(res);
    const std::string host = req.get_header_value("Host");
    const std::string origin = req.get_header_value("Origin");
    const std::string site = req.get_header_value("Sec-Fetch-Site");
    const std::string cookie = req.get_header_value("Cookie");
    const std::string token = req.get_param_value(kTokenParameter);
    // The login callback and the URL hand-off carry their own proof (the
    // kit's pending request token; the running-editor token), and neither
    // comes with the access cookie: a provider's redirect is cross-site,
    // and `vantrel open-url` is not a browser.
    AccessPolicy policy = context.policy;
    if (req.path == kOAuthLoginPath || req.path == kOpenUrlPath) policy.requireToken = false;
    const Verdict verdict =
        CheckRequest(policy, RequestFacts{req.method, host, origin, site, cookie, token});
    switch (verdict) {
        case Verdict::Allow:
            break;
        case Verdict::WrongHost:
            ReplyError(res, 421, "This server answers only at its own address.");
            return httplib::Server::HandlerResponse::Handled;
        case Verdict::NoToken:
            ReplyError(res, 401,
                       "This editor needs its access link: open the address that vantrel serve "
                       "printed.");
            return httplib::Server::HandlerResponse::Handled;
        case Verdict::ForeignOrigin:
            ReplyError(res, 403, "Requests from other sites are refused.");
            return httplib::Server::HandlerResponse::Handled;
    }
    // The access link's token becomes a cookie, and the address loses it.
    if (context.policy.requireToken && !token.empty() && req.method == "GET" &&
        !req.path.starts_with("/api/")) {
        res.set_header("Set-Cookie", std::string(kTokenCookie) + "=" + context.policy.token +
                                         "; Path=/; HttpOnly; SameSite=Strict; Max-Age=604800");
        res.set_redirect("/");
        return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
}

// ---- routes ----

void InstallStateRoutes(httplib::Server& server, ApiContext& c) {
    server.Get("/api/app", [](const Request&, Response& res) {
        const std::optional<std::string> strings = readResourceText("strings", "en", "json");
        std::optional<Dictionary> texts =
            strings ? dictionaryWithJSONString(*strings) : std::optional<Dictionary>();
        ReplyJson(
            res,
            Dictionary{{"schema", PanelSchema()},
                       {"strings", texts ? Value(*texts) : Value(Dictionary())},
                       {"maxUploadBytes", NumberValue(static_cast<double>(kMaxUploadBytes))},
                       {"maxUploadPixels", NumberValue(static_cast<double>(kMaxUploadPixels))}});
    });
    server.Get("/api/state", [&c](const Request&, Response& res) {
        const auto state = CallOnMain([shell = &c.shell] { return shell->snapshot(); });
        if (!state) return ReplyError(res, 503, "The editor is busy or stopping; try again.");
        ReplyJson(res, *state);
    });
    server.Get("/api/events", [&c](const Request&, Response& res) {
        auto subscriber = c.events.subscribe();
        res.set_header("Cache-Control", "no-store");
        res.set_chunked_content_provider(
            "text/event-stream", [&c, subscriber](std::size_t, httplib::DataSink& sink) {
                const std::optional<std::string> message = c.events.next(
                    *subscriber, std::chrono::duration_cast<std::chrono::milliseconds>(kKeepAlive));
                if (!message) {
                    sink.done();
                    return true;
                }
                return sink.write(message->data(), message->size());
            });
    });
    server.Post("/api/answer", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const auto id = Whole(*body, "id");
        const auto index = Whole(*body, "index");
        if (!id || !index || !c.ui.answer(*id, *index)) {
            return ReplyError(res, 409, "That question has been answered already.");
        }
        ReplyJson(res, Dictionary{{"ok", Value(true)}});
    });
}

void InstallRootRoutes(httplib::Server& server, ApiContext& c) {
    server.Post("/api/phase", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const int phase = Whole(*body, "phase").value_or(0);
        Reply(res, CallOnMain([shell = &c.shell, phase] { return shell->jumpToPhase(phase); }));
    });
    server.Post("/api/picker", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::string action = Text(*body, "action");
        const std::string reference = Text(*body, "reference");
        Reply(res, CallOnMain([shell = &c.shell, action, reference] {
                  if (action == "cancel") return shell->cancelPicker();
                  if (action == "pick") return shell->pickLibraryPhoto(reference);
                  return shell->openPicker(action);
              }));
    });
    server.Post("/api/browser", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::string action = Text(*body, "action");
        const std::string reference = Text(*body, "reference");
        Reply(res, CallOnMain([shell = &c.shell, action, reference] {
                  if (action == "show") return shell->browserShow(reference);
                  if (action == "edit") return shell->browserEdit();
                  return ActionResult::Refused(400, "The browser shows or edits a photo.");
              }));
    });
    server.Post("/api/resume", [&c](const Request&, Response& res) {
        Reply(res, CallOnMain([shell = &c.shell] { return shell->resumeEdit(); }));
    });
    server.Post("/api/upload", [&c](const Request& req, Response& res) {
        const std::string to = req.get_param_value("to");
        if (to != "camera" && to != "library") {
            return ReplyError(res, 400, "An upload goes to the camera or the library.");
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(req.body.data());
        Result<Picture> picture = DecodeUpload(std::span(bytes, req.body.size()));
        if (!picture) return ReplyError(res, 400, picture.error());
        if (to == "camera") {
            return Reply(res, CallOnMain([shell = &c.shell, p = std::move(picture).value()] {
                             return shell->takePicture(p);
                         }));
        }
        // Kept in the library as it came (its metadata too), under a new name.
        const bool jpeg =
            SniffPictureFormat(std::span(bytes, req.body.size())) == PictureFormat::Jpeg;
        const std::string name = UploadFileName(req.get_param_value("name"), jpeg);
        Result<std::string> kept =
            c.library.addFile("Uploads", name, std::span(bytes, req.body.size()));
        if (!kept) return ReplyError(res, 500, kept.error());
        CallOnMain([shell = &c.shell] { return shell->reloadLibrary(); });
        ReplyJson(res, Dictionary{{"ok", Value(true)}, {"reference", Value(kept.value())}});
    });
}

void InstallLibraryRoutes(httplib::Server& server, ApiContext& c) {
    server.Get("/api/library", [&c](const Request& req, Response& res) {
        const int offset = QueryInt(req, "offset", 0);
        const int count = std::clamp(QueryInt(req, "count", 60), 0, kMaxLibraryPage);
        const auto page = CallOnMain(
            [shell = &c.shell, offset, count] { return shell->libraryPage(offset, count); });
        if (!page) return ReplyError(res, 503, "The editor is busy or stopping; try again.");
        ReplyJson(res, *page);
    });
    server.Post("/api/library/reload", [&c](const Request&, Response& res) {
        Reply(res, CallOnMain([shell = &c.shell] { return shell->reloadLibrary(); }));
    });
    server.Get("/api/library/picture", [&c](const Request& req, Response& res) {
        const std::string reference = req.get_param_value("ref");
        const LibraryPictureSize size = req.get_param_value("size") == "screen"
                                            ? LibraryPictureSize::Screen
                                            : LibraryPictureSize::Thumbnail;
        Result<EncodedPicture> picture = c.libraryPictures.get(c.library, reference, size);
        if (!picture) return ReplyError(res, 404, picture.error());
        res.set_header("Cache-Control", "private, max-age=60");
        res.set_content(std::move(picture.value().bytes), picture.value().contentType);
    });
    server.Get("/api/library/file", [&c](const Request& req, Response& res) {
        const std::string reference = req.get_param_value("ref");
        const Result<std::string> path = c.library.pathOf(reference);
        if (!path) return ReplyError(res, 404, "There is no such photo in the library.");
        Result<std::vector<unsigned char>> bytes = ReadWholeFile(path.value(), kMaxDownloadBytes);
        if (!bytes) return ReplyError(res, 404, "There is no such photo in the library.");
        const std::string name = reference.substr(reference.find_last_of('/') + 1);
        const bool png = PictureFormatForPath(name) == PictureFormat::Png;
        res.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
        res.set_header("Cache-Control", "no-store");
        res.set_content(std::string(bytes.value().begin(), bytes.value().end()),
                        png ? "image/png" : "image/jpeg");
    });
}

void InstallEditRoutes(httplib::Server& server, ApiContext& c) {
    server.Post("/api/edit", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::string action = Text(*body, "action");
        Reply(res, CallOnMain([shell = &c.shell, action] { return shell->editAction(action); }));
    });
    server.Post("/api/edit/panel", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::string title = Text(*body, "title");
        Reply(res, CallOnMain([shell = &c.shell, title] { return shell->openPanel(title); }));
    });
    server.Post("/api/panel", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::string action = Text(*body, "action");
        Reply(res, CallOnMain([shell = &c.shell, action] { return shell->panelAction(action); }));
    });
    server.Post("/api/panel/control", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::string key = Text(*body, "key");
        const std::string action = Text(*body, "action");
        const double value = Number(*body, "value").value_or(0);
        Reply(res, CallOnMain([shell = &c.shell, key, action, value] {
                  return shell->panelControl(key, action, value);
              }));
    });
    server.Post("/api/panel/touch", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::optional<TouchEvent> touch = Touch(*body);
        if (!touch) return ReplyError(res, 400, "A touch has a phase, a point and a view size.");
        const std::string target = Text(*body, "target");
        Reply(res, CallOnMain([shell = &c.shell, target, t = *touch] {
                  return shell->panelTouch(target, t);
              }));
    });
    server.Post("/api/panel/pinch", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::optional<TouchPhase> phase = PhaseNamed(Text(*body, "phase"));
        const std::optional<double> scale = Number(*body, "scale");
        if (!phase || !scale || *scale <= 0 || *scale > 100) {
            return ReplyError(res, 400, "A pinch has a phase and a scale.");
        }
        const std::string target = Text(*body, "target");
        const PinchEvent pinch{*phase, static_cast<float>(*scale)};
        Reply(res, CallOnMain([shell = &c.shell, target, pinch] {
                  return shell->panelPinch(target, pinch);
              }));
    });
    server.Post("/api/selection/touch", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::optional<TouchEvent> touch = Touch(*body);
        if (!touch) return ReplyError(res, 400, "A touch has a phase, a point and a view size.");
        Reply(res, CallOnMain([shell = &c.shell, t = *touch] { return shell->selectionTouch(t); }));
    });
    server.Post("/api/selection", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::string action = Text(*body, "action");
        Reply(res,
              CallOnMain([shell = &c.shell, action] { return shell->selectionAction(action); }));
    });
}

void InstallShareRoutes(httplib::Server& server, ApiContext& c) {
    server.Post("/api/share", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const std::string action = Text(*body, "action");
        const int code = Whole(*body, "code").value_or(-1);
        std::string text = Text(*body, "text");
        Reply(res, CallOnMain([shell = &c.shell, action, code, text = std::move(text)] {
                  return shell->shareAction(action, code, text);
              }));
    });
    server.Get(kOAuthLoginPath, [](const Request& req, Response& res) {
        // The kit takes the callback on the main queue; the browser is told
        // to go back to the editor either way.
        handleOAuthLogin("http://" + req.get_header_value("Host") + req.target);
        res.set_header("Cache-Control", "no-store");
        res.headers.erase("Content-Security-Policy");
        // The page's one inline script moves Facebook's fragment into the query.
        res.set_header("Content-Security-Policy",
                       "default-src 'none'; script-src 'unsafe-inline'; base-uri 'none'");
        res.set_content(kOAuthCallbackPage, "text/html; charset=utf-8");
    });
    server.Post(kOpenUrlPath, [&c](const Request& req, Response& res) {
        res.status = c.runningEditor
                         ? handleOpenUrlRequest(*c.runningEditor,
                                                req.get_header_value(kOpenUrlTokenHeader), req.body)
                         : 503;
        res.set_content(res.status == 202 ? "taken\n" : "refused\n", "text/plain");
    });
}

void InstallSettingsRoutes(httplib::Server& server, ApiContext& c) {
    server.Post("/api/settings", [&c](const Request& req, Response& res) {
        const auto body = Body(req, res);
        if (!body) return;
        const int section = Whole(*body, "section").value_or(-1);
        const int row = Whole(*body, "row").value_or(-1);
        const Value* on = body->find("on");
        if (on && on->isBool()) {
            return Reply(res, CallOnMain([shell = &c.shell, section, row, value = *on->boolean()] {
                             return shell->settingsSwitch(section, row, value);
                         }));
        }
        Reply(res, CallOnMain([shell = &c.shell, section, row] {
                  return shell->settingsSelect(section, row);
              }));
    });
    server.Post("/api/about/close", [&c](const Request&, Response& res) {
        Reply(res, CallOnMain([shell = &c.shell] { return shell->closeAbout(); }));
    });
}

void InstallPictureRoutes(httplib::Server& server, ApiContext& c) {
    server.Get("/api/image/display", [&c](const Request& req, Response& res) {
        const std::string version = req.get_param_value("v");
        SendPicture(res, c, "display-" + version, CallOnMain([shell = &c.shell, version] {
                        return shell->displayImage(version);
                    }));
    });
    server.Get(R"(/api/image/panel/(original|review|shown))",
               [&c](const Request& req, Response& res) {
                   const std::string which = req.matches[1];
                   const std::string version = req.get_param_value("v");
                   const PanelPicture picture = which == "original" ? PanelPicture::Original
                                                : which == "review" ? PanelPicture::Review
                                                                    : PanelPicture::Shown;
                   SendPicture(res, c, "panel-" + which + "-" + version,
                               CallOnMain([shell = &c.shell, picture, version] {
                                   return shell->panelImage(picture, version);
                               }));
               });
    server.Get("/api/image/look", [&c](const Request& req, Response& res) {
        const std::string version = req.get_param_value("v");
        const int section = QueryInt(req, "section", -1);
        const int index = QueryInt(req, "index", -1);
        SendPicture(res, c,
                    "look-" + version + "-" + std::to_string(section) + "-" + std::to_string(index),
                    CallOnMain([shell = &c.shell, version, section, index] {
                        return shell->lookThumbnail(version, section, index);
                    }));
    });
    server.Get("/api/image/share/thumbnail", [&c](const Request& req, Response& res) {
        const std::string version = req.get_param_value("v");
        SendPicture(res, c, "share-" + version, CallOnMain([shell = &c.shell, version] {
                        return shell->shareThumbnail(version);
                    }));
    });
    server.Get("/api/image/gradient", [&c](const Request& req, Response& res) {
        const int type = QueryInt(req, "type", -1);
        // Drawn by the model's own renderer, wide like the swatch that shows it.
        const Picture swatch = GradientImage(type).getImageBySize({112, 48});
        SendPicture(res, c, "gradient-" + std::to_string(type), swatch);
    });
}

void InstallFileRoutes(httplib::Server& server, ApiContext& c) {
    server.Get(R"(/(?!api/).*)", [&c](const Request& req, Response& res) {
        const std::optional<std::filesystem::path> file = ResolveStaticPath(c.webRoot, req.path);
        if (!file) return ReplyError(res, 404, "There is no such page.");
        Result<std::vector<unsigned char>> bytes = ReadWholeFile(file->string(), kMaxResourceBytes);
        if (!bytes) return ReplyError(res, 404, "There is no such page.");
        // Built assets carry their content's hash in their names.
        res.set_header("Cache-Control", req.path.starts_with("/assets/")
                                            ? "public, max-age=31536000, immutable"
                                            : "no-cache");
        res.set_content(std::string(bytes.value().begin(), bytes.value().end()), MimeType(*file));
    });
}

}  // namespace

void InstallRoutes(httplib::Server& server, ApiContext& context) {
    server.set_pre_routing_handler(
        [&context](const Request& req, Response& res) { return CheckAccess(context, req, res); });
    server.set_payload_max_length(kMaxUploadBytes);
    server.set_error_handler([](const Request&, Response& res) {
        if (!res.body.empty()) return;
        if (res.status == 413) {
            ReplyError(res, 413,
                       "The upload is larger than " + std::to_string(kMaxUploadBytes >> 20) +
                           " MB: nothing was opened.");
        } else if (res.status == 404) {
            ReplyError(res, 404, "There is no such page.");
        }
    });
    InstallStateRoutes(server, context);
    InstallRootRoutes(server, context);
    InstallLibraryRoutes(server, context);
    InstallEditRoutes(server, context);
    InstallShareRoutes(server, context);
    InstallSettingsRoutes(server, context);
    InstallPictureRoutes(server, context);
    InstallFileRoutes(server, context);
}

}  // namespace vantrel::web
