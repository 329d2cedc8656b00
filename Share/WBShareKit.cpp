#include "Share/WBShareKit.h"

#include <cctype>
#include <cstdio>

#include "Core/global/TiLog.h"
#include "Share/Multipart.h"
#include "Share/OAuthCallback.h"
#include "platform/Dispatch.h"
#include "platform/JpegCodec.h"
#include "platform/UIServices.h"
#include "platform/UserDefaults.h"

namespace vantrel {
namespace {

constexpr std::size_t kMaxTokenAnswerBytes = 64 * 1024;
constexpr std::size_t kMaxPostAnswerBytes = std::size_t{1} << 20;

bool IsBlank(const std::string& text) {
    for (const char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// A coordinate as the posts write it, "%f".
std::string Coordinate(double degrees) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", degrees);
    return text;
}

bool IsSuccess(const Result<HttpResponse>& response) {
    return response && response.value().status >= 200 && response.value().status < 300;
}

// Why an answer is no success, for the log: the client's error or the status.
std::string Why(const Result<HttpResponse>& response) {
    return response ? "HTTP " + std::to_string(response.value().status) : response.error();
}

}  // namespace

WBShareKit::WBShareKit(ShareConfig config, UserDefaults& store)
    : m_config(std::move(config)),
      m_store(store),
      m_facebook(Facebook::Settings{
          m_config.provider(kShareFacebook).appId, m_config.provider(kShareFacebook).dialog,
          m_config.provider(kShareFacebook).graph, m_config.callback, limits(kMaxPostAnswerBytes)}),
      m_self(std::make_shared<WBShareKit*>(this)) {}

WBShareKit::~WBShareKit() = default;

WBShareKit& WBShareKit::sharedWBShareKit() {
    static WBShareKit* shared =
        new WBShareKit(ShareConfig::loadFromDocuments(), UserDefaults::standardUserDefaults());
    return *shared;
}

HttpLimits WBShareKit::limits(std::size_t maxResponseBytes) const {
    HttpLimits limits;
    limits.totalTimeout = m_config.timeout;
    limits.connectTimeout = std::min(limits.connectTimeout, m_config.timeout);
    limits.maxResponseBytes = maxResponseBytes;
    return limits;
}

void WBShareKit::later(std::function<void(WBShareKit&)> block) {
    dispatchAsync(DispatchQueue::Main, [self = std::weak_ptr(m_self), block = std::move(block)] {
        if (const auto kit = self.lock()) block(**kit);
    });
}

void WBShareKit::reportLogin(bool success) {
    if (!m_delegate) return;
    if (success)
        m_delegate->loginSuccess(*this);
    else
        m_delegate->loginFailure(*this);
}

void WBShareKit::reportSend(bool success) {
    if (!m_delegate) return;
    if (success)
        m_delegate->sendSuccess(*this);
    else
        m_delegate->sendFailure(*this);
}

// ---- Tokens

std::string WBShareKit::getTokenKey() const {
    const ShareProvider* provider = ShareProviderFor(m_shareCode);
    return provider ? provider->tokenKey : "";
}

bool WBShareKit::isNeedLogin() const {
    const std::string key = getTokenKey();
    return key.empty() || !m_store.hasKey(key);
}

void WBShareKit::setNeedLogin() {
    const std::string key = getTokenKey();
    if (key.empty()) return;
    m_store.removeObjectForKey(key);
    if (const Result<Done> written = m_store.synchronize(); !written) {
        TiLog("Share: %s", written.error().c_str());
    }
}

void WBShareKit::clearAllToken() {
    for (const ShareProvider& provider : kShareProviders) {
        m_store.removeObjectForKey(provider.tokenKey);
    }
    // Facebook's session goes too: a logout must not leave a live access
    // token on disk.
    m_store.removeObjectForKey(kFBAccessTokenKey);
    m_store.removeObjectForKey(kFBExpirationDateKey);
    if (const Result<Done> written = m_store.synchronize(); !written) {
        TiLog("Share: %s", written.error().c_str());
    }
}

std::optional<OAuthToken> WBShareKit::storedToken(int code) const {
    const ShareProvider* provider = ShareProviderFor(code);
    if (!provider) return std::nullopt;
    const std::optional<std::string> body = m_store.stringForKey(provider->tokenKey);
    return body ? OAuthToken::fromResponseBody(*body) : std::nullopt;
}

OAuthConsumer WBShareKit::consumer(int code) const {
    const ShareProviderConfig& keys = m_config.provider(code);
    return {keys.consumerKey, keys.consumerSecret};
}

std::optional<OAuthRequest> WBShareKit::requestWithURL(std::string_view url, OAuthParameters dic,
                                                       std::string method, std::string appkey,
                                                       std::string secret) const {
    OAuthRequest request(url, {std::move(appkey), std::move(secret)}, storedToken(m_shareCode));
    request.setHTTPMethod(std::move(method));
    request.setParameters(std::move(dic));
    if (!request.prepare()) return std::nullopt;
    return request;
}

std::optional<OAuthRequest> WBShareKit::signedRequest(int code, std::string_view url,
                                                      std::string method) const {
    OAuthRequest request(url, consumer(code), storedToken(code));
    request.setHTTPMethod(std::move(method));
    if (!request.prepare()) return std::nullopt;
    return request;
}

// ---- Login

void WBShareKit::login(int code) {
    m_shareCode = code;
    ++m_loginSerial;
    m_pending.reset();
    if (!isNeedLogin()) {
        reportLogin(true);
        return;
    }
    const ShareProvider* provider = ShareProviderFor(code);
    if (const std::string problem = setupProblem(code); !provider || !problem.empty()) {
        TiLog("Share: %s", problem.c_str());
        reportLogin(false);
        return;
    }
    if (code == kShareFacebook) {
        loginFacebook();
    } else {
        requestToken(*provider);
    }
}

void WBShareKit::loginFacebook() {
    const std::optional<std::string> token = m_store.stringForKey(kFBAccessTokenKey);
    const std::optional<double> expiry = m_store.doubleForKey(kFBExpirationDateKey);
    if (token && expiry) {
        m_facebook.setAccessToken(*token);
        m_facebook.setExpirationDate(*expiry);
    }
    if (const Result<Done> opened = m_facebook.authorize({"publish_stream"}); !opened) {
        TiLog("Share: the Facebook login can not start: %s", opened.error().c_str());
        reportLogin(false);
    }
}

void WBShareKit::sendLoginStep(const OAuthRequest& request,
                               void (WBShareKit::*next)(int, const Result<HttpResponse>&)) {
    SendHttpRequest(request.toHttpRequest(), limits(kMaxTokenAnswerBytes),
                    [self = std::weak_ptr(m_self), serial = m_loginSerial, code = m_shareCode,
                     next](Result<HttpResponse> response) {
                        const auto kit = self.lock();
                        if (!kit || (*kit)->m_loginSerial != serial) return;
                        ((**kit).*next)(code, response);
                    });
}

void WBShareKit::requestToken(const ShareProvider& provider) {
    OAuthRequest request(m_config.provider(provider.code).api + provider.requestTokenPath,
                         consumer(provider.code));
    if (provider.sendsCallback) request.setOAuthParameterName("oauth_callback", m_config.callback);
    if (!request.prepare()) {
        reportLogin(false);
        return;
    }
    sendLoginStep(request, &WBShareKit::openAuthorizePage);
}

void WBShareKit::openAuthorizePage(int code, const Result<HttpResponse>& response) {
    const ShareProvider& provider = *ShareProviderFor(code);
    const std::optional<OAuthToken> token =
        IsSuccess(response) ? OAuthToken::fromResponseBody(response.value().body) : std::nullopt;
    if (!token) {
        TiLog("Share: the request token of %s failed: %s", provider.displayName,
              IsSuccess(response) ? "the answer holds no token" : Why(response).c_str());
        reportLogin(false);
        return;
    }
    m_pending = PendingLogin{code, *token};
    currentUIServices().openURL(m_config.provider(code).api + provider.authorizePath +
                                "?oauth_token=" + OAuthPercentEncode(token->key) +
                                "&oauth_callback=" + OAuthPercentEncode(m_config.callback));
}

bool WBShareKit::handleOpenURL(std::string_view url) {
    if (!IsOAuthLoginCallback(url)) return false;
    if (m_shareCode == kShareFacebook) return handleFacebookURL(url);
    if (!m_pending || m_pending->code != m_shareCode) return false;
    const UrlParts parts = SplitUrl(url);
    const OAuthParameters parameters = ParseFormText(parts.query);
    const std::string named = FindParameter(parameters, "oauth_token");
    if (!named.empty() && named != m_pending->requestToken.key) {
        TiLog("Share: a login callback for another request token is not taken");
        return false;
    }
    const PendingLogin pending = *m_pending;
    m_pending.reset();
    const ShareProvider& provider = *ShareProviderFor(pending.code);
    std::string verifier;
    if (provider.verifier == VerifierRule::LastSixOfQuery && parts.query.size() >= 6) {
        verifier = parts.query.substr(parts.query.size() - 6);
    } else if (provider.verifier == VerifierRule::OAuthVerifierOfQuery) {
        verifier = FindParameter(parameters, "oauth_verifier");
    }
    if (provider.verifier != VerifierRule::None && verifier.empty()) {
        TiLog("Share: the %s login came back without a verifier", provider.displayName);
        reportLogin(false);
        return true;
    }
    accessToken(provider, pending.requestToken, verifier);
    return true;
}

void WBShareKit::accessToken(const ShareProvider& provider, const OAuthToken& requestToken,
                             const std::string& verifier) {
    OAuthRequest request(m_config.provider(provider.code).api + provider.accessTokenPath,
                         consumer(provider.code), requestToken);
    if (!verifier.empty()) request.setVerifier(verifier);
    if (!request.prepare()) {
        reportLogin(false);
        return;
    }
    sendLoginStep(request, &WBShareKit::finishOAuthLogin);
}

void WBShareKit::finishOAuthLogin(int code, const Result<HttpResponse>& response) {
    const ShareProvider& provider = *ShareProviderFor(code);
    if (!IsSuccess(response) || !OAuthToken::fromResponseBody(response.value().body)) {
        TiLog("Share: the access token of %s failed: %s", provider.displayName,
              IsSuccess(response) ? "the answer holds no token" : Why(response).c_str());
        reportLogin(false);
        return;
    }
    m_store.setObject(provider.tokenKey, response.value().body);
    if (const Result<Done> written = m_store.synchronize(); !written) {
        TiLog("Share: %s", written.error().c_str());
    }
    reportLogin(true);
}

bool WBShareKit::handleFacebookURL(std::string_view url) {
    switch (m_facebook.handleOpenURL(url)) {
        case Facebook::LoginOutcome::NotOurs:
            return false;
        case Facebook::LoginOutcome::Failed:
            TiLog("Share: the Facebook login was refused");
            reportLogin(false);
            return true;
        case Facebook::LoginOutcome::LoggedIn:
            break;
    }
    m_store.setObject(kFBAccessTokenKey, m_facebook.accessToken());
    m_store.setObject(kFBExpirationDateKey, m_facebook.expirationDate());
    m_store.setObject(ShareProviderFor(kShareFacebook)->tokenKey, m_facebook.accessToken());
    if (const Result<Done> written = m_store.synchronize(); !written) {
        TiLog("Share: %s", written.error().c_str());
    }
    reportLogin(true);
    return true;
}

bool WBShareKit::isWaitingForCallback() const {
    return m_pending.has_value() ||
           (m_shareCode == kShareFacebook && m_facebook.isWaitingForLogin());
}

// ---- Posts

void WBShareKit::failPostLater(int code, const std::string& why) {
    TiLog("Share: the post to %s can not start: %s", ShareProviderFor(code)->displayName,
          why.c_str());
    later([](WBShareKit& kit) { kit.reportSend(false); });
}

void WBShareKit::startPost(int code, HttpRequestMaker make) {
    SendHttpRequest(std::move(make), limits(kMaxPostAnswerBytes),
                    [self = std::weak_ptr(m_self), code](Result<HttpResponse> response) {
                        if (const auto kit = self.lock()) (*kit)->finishPost(code, response);
                    });
}

void WBShareKit::finishPost(int code, const Result<HttpResponse>& response) {
    if (!IsSuccess(response)) {
        TiLog("Share: the post to %s failed: %s", ShareProviderFor(code)->displayName,
              Why(response).c_str());
    }
    reportSend(IsSuccess(response));
}

// Sina: "statuses/upload.json", signed, with the fields status, source,
// lat and long and the photo as the part "pic".
void WBShareKit::sendSinaPhotoWithStatus(std::string status, double lat, double lng,
                                         Picture image) {
    const ShareProviderConfig& keys = m_config.provider(kShareSina);
    if (!setupProblem(kShareSina).empty() || !storedToken(kShareSina)) {
        return failPostLater(kShareSina, "not logged in");
    }
    const std::optional<OAuthRequest> request =
        signedRequest(kShareSina, keys.api + "statuses/upload.json", "POST");
    if (!request) return failPostLater(kShareSina, "the request can not be signed");
    if (IsBlank(status)) status = kSinaEmptyStatus;
    startPost(
        kShareSina,
        [signedPost = request->toHttpRequest(), status = std::move(status),
         source = keys.consumerKey, lat, lng, image = std::move(image)]() -> Result<HttpRequest> {
            const auto jpeg = EncodeJpeg(image, kShareJpegQuality);
            if (!jpeg) return Result<HttpRequest>::Failure(jpeg.error());
            MultipartBody body(kSinaBoundary);
            body.addField("status", status);
            body.addField("source", source);
            body.addField("lat", Coordinate(lat));
            body.addField("long", Coordinate(lng));
            body.addPart(
                "Content-Disposition: form-data; name=\"pic\";filename=\"image.jpg\"\r\n"
                "Content-Type: image/jpeg\r\n",
                jpeg.value());
            HttpRequest post = signedPost;
            post.headers.push_back({"Content-Type", body.contentType()});
            post.body = body.finish();
            post.headers.push_back({"Content-Length", std::to_string(post.body.size())});
            return Result<HttpRequest>::Success(std::move(post));
        });
}

// Twitter: the photo goes to Twitpic, which checks the user with Twitter
// through the signed verify-credentials request it is handed.
void WBShareKit::sendPhotoToTwitterWithStatus(std::string status, double, double, Picture image) {
    const ShareProviderConfig& keys = m_config.provider(kShareTwitter);
    if (!setupProblem(kShareTwitter).empty() || !storedToken(kShareTwitter)) {
        return failPostLater(kShareTwitter, "not logged in");
    }
    const std::optional<OAuthRequest> verify =
        signedRequest(kShareTwitter, keys.api + "1/account/verify_credentials.json", "GET");
    if (!verify) return failPostLater(kShareTwitter, "the request can not be signed");
    HttpRequest post;
    post.method = "POST";
    post.url = keys.twitpicApi + "2/upload.json";
    post.headers = {{"X-Auth-Service-Provider", verify->url()},
                    {"X-Verify-Credentials-Authorization", verify->authorizationHeader()}};
    startPost(kShareTwitter,
              [post = std::move(post), status = std::move(status), key = keys.twitpicKey,
               image = std::move(image)]() mutable -> Result<HttpRequest> {
                  const auto jpeg = EncodeJpeg(image, kShareJpegQuality);
                  if (!jpeg) return Result<HttpRequest>::Failure(jpeg.error());
                  MultipartBody body(kTwitpicBoundary);
                  body.addPart(
                      "Content-Disposition: form-data; name=\"media\"; filename=\"upload.jpg\"\r\n"
                      "Content-Type: image/jpg\r\n",
                      jpeg.value());
                  body.addField("message", status);
                  body.addField("key", key);
                  post.headers.push_back({"Content-Type", body.contentType()});
                  post.body = body.finish();
                  return Result<HttpRequest>::Success(std::move(post));
              });
}

// Facebook: a Graph request to "me/photos" with "picture" and "message".
void WBShareKit::sendPhotoToFacebookWithStatus(std::string status, double, double, Picture image) {
    const std::optional<std::string> token =
        m_store.stringForKey(ShareProviderFor(kShareFacebook)->tokenKey);
    if (!setupProblem(kShareFacebook).empty() || !token || token->empty()) {
        return failPostLater(kShareFacebook, "not logged in");
    }
    m_facebook.setAccessToken(*token);
    m_facebook.requestWithGraphPath(
        "me/photos", {{"picture", std::move(image)}, {"message", std::move(status)}}, "POST",
        [self = std::weak_ptr(m_self)](Facebook::GraphAnswer answer) {
            const auto kit = self.lock();
            if (!kit) return;
            const Value* id = answer.result ? answer.result->find("id") : nullptr;
            if (id && !id->stringValue().empty()) {
                TiLog("Photo upload Success");
                (*kit)->reportSend(true);
                return;
            }
            TiLog("%s", answer.description.empty() ? "The Graph API answered without an id"
                                                   : answer.description.c_str());
            TiLog("Err details: %s", answer.details.c_str());
            (*kit)->reportSend(false);
        });
}

}  // namespace vantrel
