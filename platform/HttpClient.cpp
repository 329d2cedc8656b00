#include "platform/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>

#include "Core/global/TiLog.h"
#include "platform/Dispatch.h"

namespace vantrel {
namespace {

constexpr std::size_t kMaxHeaderBytes = 64 * 1024;

using Clock = std::chrono::steady_clock;

struct FreeUrl {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct FreeEasy {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct FreeList {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct FreeText {
    void operator()(char* text) const { curl_free(text); }
};

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// One part of a parsed URL; empty when it has none.
std::string UrlPart(CURLU* url, CURLUPart part) {
    char* raw = nullptr;
    if (curl_url_get(url, part, &raw, 0) != CURLUE_OK || !raw) return {};
    const std::unique_ptr<char, FreeText> owned(raw);
    return raw;
}

bool IsLoopbackHost(const std::string& host) {
    if (host == "localhost" || host == "[::1]") return true;
    // 127.0.0.0/8 written as a dotted quad (curl has normalised the host).
    if (host.rfind("127.", 0) != 0) return false;
    int dots = 0;
    for (const char c : host) {
        if (c == '.')
            ++dots;
        else if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return dots == 3;
}

// "host/path" of a URL, for messages and logs: never its query.
std::string Where(std::string_view url) {
    const std::unique_ptr<CURLU, FreeUrl> parsed(curl_url());
    const std::string text(url);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return "an unreadable address";
    }
    return UrlPart(parsed.get(), CURLUPART_HOST) + UrlPart(parsed.get(), CURLUPART_PATH);
}

struct Transfer {
    std::size_t maxBody = 0;
    std::string body;
    bool tooLarge = false;
    std::vector<HttpHeader> headers;
    std::size_t headerBytes = 0;
};

std::size_t TakeBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (bytes > transfer.maxBody - transfer.body.size()) {
        transfer.tooLarge = true;
        return 0;  // ends the transfer with a write error
    }
    transfer.body.append(data, bytes);
    return bytes;
}

std::size_t TakeHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    transfer.headerBytes += bytes;
    if (transfer.headerBytes > kMaxHeaderBytes) return 0;
    std::string_view line(data, bytes);
    // A new status line (after a redirect or "100 Continue") starts over.
    if (line.rfind("HTTP/", 0) == 0) {
        transfer.headers.clear();
        return bytes;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return bytes;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() &&
           (value.back() == '\r' || value.back() == '\n' || value.back() == ' ')) {
        value.remove_suffix(1);
    }
    transfer.headers.push_back({std::string(line.substr(0, colon)), std::string(value)});
    return bytes;
}

long Milliseconds(std::chrono::nanoseconds duration) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
    return static_cast<long>(std::clamp<long long>(ms, 1, 24LL * 3600 * 1000));
}

struct Hop {
    Result<HttpResponse> response = Result<HttpResponse>::Failure("");
    std::string redirect;  // the absolute target of a redirect, if any
};

void SetMethodAndBody(CURL* easy, const HttpRequest& request) {
    if (request.method == "GET") {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
        return;
    }
    if (request.method == "POST") {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(request.body.size()));
}

// One request and its answer, no redirect followed.
Hop PerformOnce(const HttpRequest& request, const HttpLimits& limits, Clock::time_point deadline) {
    Hop hop;
    const std::unique_ptr<CURL, FreeEasy> easy(curl_easy_init());
    if (!easy) {
        hop.response = Result<HttpResponse>::Failure("Can not start an HTTP request.");
        return hop;
    }
    curl_slist* list = curl_slist_append(nullptr, "Expect:");
    for (const HttpHeader& header : request.headers) {
        if (list) list = curl_slist_append(list, (header.name + ": " + header.value).c_str());
    }
    const std::unique_ptr<curl_slist, FreeList> headers(list);
    Transfer transfer;
    transfer.maxBody = limits.maxResponseBytes;
    CURL* handle = easy.get();
    curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_NOPROXY, "localhost,127.0.0.0/8,::1");
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(limits.connectTimeout));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, Milliseconds(deadline - Clock::now()));
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(limits.maxResponseBytes));
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "Vantrel");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &TakeBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &TakeHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
    SetMethodAndBody(handle, request);

    CURLcode code;
    {
        const DispatchWaitScope waitingOnTheNetwork;
        code = curl_easy_perform(handle);
    }
    const std::string where = Where(request.url);
    if (code != CURLE_OK) {
        const std::string reason =
            transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED
                ? "the answer is larger than " + std::to_string(limits.maxResponseBytes) + " bytes"
                : curl_easy_strerror(code);
        TiLog("HTTP %s %s failed: %s", request.method.c_str(), where.c_str(), reason.c_str());
        hop.response =
            Result<HttpResponse>::Failure("The request to " + where + " failed: " + reason + ".");
        return hop;
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    char* target = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_REDIRECT_URL, &target) == CURLE_OK && target) {
        hop.redirect = target;
    }
    TiLog("HTTP %s %s -> %ld", request.method.c_str(), where.c_str(), status);
    HttpResponse response;
    response.status = static_cast<int>(status);
    response.headers = std::move(transfer.headers);
    response.body = std::move(transfer.body);
    hop.response = Result<HttpResponse>::Success(std::move(response));
    return hop;
}

}  // namespace

std::string HttpResponse::header(std::string_view name) const {
    const std::string wanted = Lower(std::string(name));
    for (const HttpHeader& header : headers) {
        if (Lower(header.name) == wanted) return header.value;
    }
    return {};
}

Result<Done> CheckHttpUrl(std::string_view url) {
    InitialiseCurlOnce();
    const std::unique_ptr<CURLU, FreeUrl> parsed(curl_url());
    const std::string text(url);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) {
        return Result<Done>::Failure("The address is not a web address.");
    }
    const std::string scheme = Lower(UrlPart(parsed.get(), CURLUPART_SCHEME));
    const std::string host = Lower(UrlPart(parsed.get(), CURLUPART_HOST));
    if (scheme == "https") return Result<Done>::Success(Done{});
    if (scheme == "http" && IsLoopbackHost(host)) return Result<Done>::Success(Done{});
    if (scheme == "http") {
        return Result<Done>::Failure("Plain http to " + host +
                                     " is refused: only https leaves this machine.");
    }
    return Result<Done>::Failure("The address scheme \"" + scheme + "\" is not http or https.");
}

Result<HttpResponse> PerformHttpRequest(const HttpRequest& request, const HttpLimits& limits) {
    InitialiseCurlOnce();
    const Clock::time_point deadline = Clock::now() + limits.totalTimeout;
    HttpRequest current = request;
    for (int redirects = 0;; ++redirects) {
        if (const Result<Done> allowed = CheckHttpUrl(current.url); !allowed) {
            return Result<HttpResponse>::Failure(allowed.error());
        }
        if (Clock::now() >= deadline) {
            return Result<HttpResponse>::Failure("The request to " + Where(request.url) +
                                                 " took longer than its time limit.");
        }
        Hop hop = PerformOnce(current, limits, deadline);
        if (!hop.response || hop.redirect.empty() || current.method != "GET" ||
            limits.maxRedirects == 0) {
            return std::move(hop.response);
        }
        if (redirects >= limits.maxRedirects) {
            return Result<HttpResponse>::Failure("The request to " + Where(request.url) +
                                                 " was redirected more than " +
                                                 std::to_string(limits.maxRedirects) + " times.");
        }
        current.url = std::move(hop.redirect);
    }
}

void SendHttpRequest(HttpRequestMaker make, HttpLimits limits, HttpCompletion completion) {
    dispatchAsync(DispatchQueue::Background, [make = std::move(make), limits,
                                              completion = std::move(completion)]() mutable {
        Result<HttpRequest> request = make();
        auto response = std::make_shared<Result<HttpResponse>>(
            request ? PerformHttpRequest(request.value(), limits)
                    : Result<HttpResponse>::Failure(request.error()));
        dispatchAsync(DispatchQueue::Main, [response, completion = std::move(completion)] {
            completion(std::move(*response));
        });
    });
}

void SendHttpRequest(HttpRequest request, HttpLimits limits, HttpCompletion completion) {
    SendHttpRequest(
        [request = std::move(request)] { return Result<HttpRequest>::Success(request); }, limits,
        std::move(completion));
}

}  // namespace vantrel
