// HttpClient: HTTP requests through libcurl, for the sharing logins and posts
// and for handing a URL to the running editor.
//
// Safety rules every request follows:
// - https only, with the peer's certificate and host name verified against
//   the system's authorities; plain http only to a loopback host (localhost,
//   127.0.0.0/8, ::1), where nothing leaves the machine. Other schemes are
//   refused, redirects included.
// - bounded: a connect timeout and a total timeout for the whole exchange,
//   redirects included; a response body over maxResponseBytes fails the
//   request; response headers are bounded too.
// - redirects are followed for GET only (up to maxRedirects, each target
//   checked as above); with maxRedirects 0 a redirect comes back as it is.
//
// Any status is a response: the caller decides what a 404 or 500 means.
// Failure (refused URL, no connection, timeout, oversized answer) is an error
// text that names the host and path, never the query, which may carry
// tokens. Nothing is thrown. Log lines name method, host, path and status.
//
// Threads: PerformHttpRequest blocks its caller; inside a global queue's
// block it lends the block's slot to the dispatch pool while it waits on the
// network. SendHttpRequest runs it on the Background queue and calls the
// completion on the main queue.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace vantrel {

struct HttpHeader {
    std::string name;
    std::string value;
};

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    std::vector<HttpHeader> headers;
    std::vector<unsigned char> body;  // sent for methods other than GET
};

struct HttpResponse {
    int status = 0;
    std::vector<HttpHeader> headers;  // of the last response, in order
    std::string body;

    // The value of the first header named `name` (any letter case); empty
    // when there is none.
    std::string header(std::string_view name) const;
};

struct HttpLimits {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{30'000};
    std::size_t maxResponseBytes = std::size_t{1} << 20;
    int maxRedirects = 3;
};

// Whether `url` may be requested under the rules above; the error says why not.
Result<Done> CheckHttpUrl(std::string_view url);

// Sends the request and waits for its response.
Result<HttpResponse> PerformHttpRequest(const HttpRequest& request, const HttpLimits& limits);

using HttpCompletion = std::function<void(Result<HttpResponse>)>;
// Makes the request on the Background queue, for work too heavy for the main
// queue (encoding a photo into a post's body).
using HttpRequestMaker = std::function<Result<HttpRequest>()>;

// On the Background queue: makes the request, sends it; then on the main
// queue: completion(the response, or why there is none).
void SendHttpRequest(HttpRequestMaker make, HttpLimits limits, HttpCompletion completion);
void SendHttpRequest(HttpRequest request, HttpLimits limits, HttpCompletion completion);

}  // namespace vantrel
