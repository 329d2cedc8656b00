// WBShareKit: the share kit. It keeps one provider selected (`shareCode`),
// logs the user in to it, keeps the tokens in the user-defaults store and
// sends the posts of the edited photo.
//
// Tokens: the whole body of a provider's access-token answer is kept under
// its token key (ShareProviders.h); Facebook's access token is kept under
// "kToken_Facebook" and, with its expiry (a real, seconds since 1970), under
// "FBAccessTokenKey" and "FBExpirationDateKey".
//
// Login (OAuth 1.0 providers): a signed GET of the request token, with
// "oauth_callback" for Sina, Tencent and Twitter; the authorisation page
// API + authorizePath + "?oauth_token=T&oauth_callback=C" opened in the
// user's browser; the browser's callback to handleOpenURL; a signed GET of
// the access token with the request token (and the verifier of the
// provider's rule). A callback naming another request token, or arriving
// when no login waits, is not taken. Facebook logs in through its dialog.
//
// Posts: Sina posts to "statuses/upload.json", Twitter to Twitpic's
// "2/upload.json" with Twitter's delegated credentials, Facebook to the
// Graph's "me/photos"; the bodies are spelled out where they are built. The
// photo is encoded as JPEG at quality 90 on the Background queue. A post
// succeeds on a 2xx answer (Sina, Twitpic) or a Graph result holding an
// "id" (Facebook).
//
// Every request is bounded (ShareConfig's timeout, response sizes); a
// provider that never answers, answers an error, or answers something
// unreadable gives loginFailure or sendFailure, never a hang. Log lines name
// steps, hosts and statuses, never keys, secrets or tokens.
//
// Threads: the kit is used on the main queue only; its reports come there.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Share/Facebook.h"
#include "Share/OAuth/OAuthRequest.h"
#include "Share/ShareConfig.h"
#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel {

class UserDefaults;
class WBShareKit;

inline constexpr char kFBAccessTokenKey[] = "FBAccessTokenKey";
inline constexpr char kFBExpirationDateKey[] = "FBExpirationDateKey";
inline constexpr char kSinaEmptyStatus[] = "Vantrel";
inline constexpr char kSinaBoundary[] = "vantrel-sina-5b0e1c7f93a24d6e";
inline constexpr char kTwitpicBoundary[] = "0xKhTmLbOuNdArY";

class WBShareKitDelegate {
public:
    virtual ~WBShareKitDelegate() = default;
    virtual void loginSuccess(WBShareKit& kit) = 0;
    virtual void loginFailure(WBShareKit& kit) = 0;
    virtual void sendSuccess(WBShareKit& kit) = 0;
    virtual void sendFailure(WBShareKit& kit) = 0;
};

class WBShareKit {
public:
    // A kit over `config` keeping its tokens in `store` (not owned).
    WBShareKit(ShareConfig config, UserDefaults& store);
    ~WBShareKit();
    WBShareKit(const WBShareKit&) = delete;
    WBShareKit& operator=(const WBShareKit&) = delete;

    // The program's kit: sharing.json and the standard user defaults.
    static WBShareKit& sharedWBShareKit();

    void setDelegate(WBShareKitDelegate* delegate) { m_delegate = delegate; }
    WBShareKitDelegate* delegate() const { return m_delegate; }
    int shareCode() const { return m_shareCode; }
    const ShareConfig& config() const { return m_config; }
    // Empty when the provider is set up; otherwise why not, in words.
    std::string setupProblem(int code) const { return m_config.setupProblem(code); }

    void login(int code);
    // The login callback; false when it was not taken.
    bool handleOpenURL(std::string_view url);
    // Whether a login waits for its browser callback.
    bool isWaitingForCallback() const;

    bool isNeedLogin() const;
    void setNeedLogin();
    // Forgets every provider's token and Facebook's session, and writes the
    // store at once (the settings screen's logout; after a failed post).
    void clearAllToken();
    // The token key of the selected provider; empty for an unknown code.
    std::string getTokenKey() const;

    // A request to `url` signed for the selected provider with its stored
    // token; `dic` are its parameters.
    // Nothing when the random source can't be read.
    std::optional<OAuthRequest> requestWithURL(std::string_view url, OAuthParameters dic,
                                               std::string method, std::string appkey,
                                               std::string secret) const;

    void sendSinaPhotoWithStatus(std::string status, double lat, double lng, Picture image);
    void sendPhotoToTwitterWithStatus(std::string status, double lat, double lng, Picture image);
    void sendPhotoToFacebookWithStatus(std::string status, double lat, double lng, Picture image);

private:
    struct PendingLogin {
        int code;
        OAuthToken requestToken;
    };

    HttpLimits limits(std::size_t maxResponseBytes) const;
    std::optional<OAuthToken> storedToken(int code) const;
    OAuthConsumer consumer(int code) const;
    // A signed request of `code`'s provider with its stored token.
    std::optional<OAuthRequest> signedRequest(int code, std::string_view url,
                                              std::string method) const;
    // Sends a login step; `next` gets the answer unless a newer login began.
    void sendLoginStep(const OAuthRequest& request,
                       void (WBShareKit::*next)(int, const Result<HttpResponse>&));

    void loginFacebook();
    void requestToken(const ShareProvider& provider);
    void openAuthorizePage(int code, const Result<HttpResponse>& response);
    void accessToken(const ShareProvider& provider, const OAuthToken& requestToken,
                     const std::string& verifier);
    void finishOAuthLogin(int code, const Result<HttpResponse>& response);
    bool handleFacebookURL(std::string_view url);

    // Posts the request that `make` builds on the Background queue.
    void startPost(int code, HttpRequestMaker make);
    void finishPost(int code, const Result<HttpResponse>& response);
    void failPostLater(int code, const std::string& why);

    void reportLogin(bool success);
    void reportSend(bool success);
    // Runs `block` on the main queue later, unless the kit is gone by then.
    void later(std::function<void(WBShareKit&)> block);

    ShareConfig m_config;
    UserDefaults& m_store;
    Facebook m_facebook;
    WBShareKitDelegate* m_delegate = nullptr;
    int m_shareCode = 0;
    std::optional<PendingLogin> m_pending;
    unsigned m_loginSerial = 0;           // answers of an older login are dropped
    std::shared_ptr<WBShareKit*> m_self;  // completions hold it weakly
};

}  // namespace vantrel
