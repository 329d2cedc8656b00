// Facebook: the program's own small Facebook client. Its login is
// Facebook's OAuth dialog opened in the browser (the implicit flow: the
// access token comes back in the callback's fragment, or query), and its
// one request kind is a Graph API call.
//
// Login: authorize() opens
//   DIALOG?client_id=ID&redirect_uri=CALLBACK&scope=PERMISSIONS
//         &response_type=token&display=touch&state=STATE
// where STATE is fresh random text; the callback is taken only when it
// carries that state (so a stale or forged callback can't log anyone in).
// "access_token" becomes the session's token and "expires_in" seconds its
// expiry (none, or 0: it does not expire); "error" fails the login.
//
// Graph request: a POST to GRAPH + path as "multipart/form-data" with the
// boundary kGraphBoundary: the text parameters in order, then
// "access_token", then each picture as a JPEG at quality 90, in a part
// "Content-Disposition: form-data; name="NAME"; filename="NAME.jpg"" with
// "Content-Type: image/jpeg". The answer is a JSON object; one holding an
// "error" object, one that is not JSON, or no answer at all is a failure
// with a description and details for the log (never the token).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "commands/Value.h"
#include "platform/HttpClient.h"
#include "platform/Picture.h"
#include "platform/Result.h"

namespace vantrel {

inline constexpr char kGraphBoundary[] = "vantrel-graph-7d1f3a9c2b6e4f08";
inline constexpr int kShareJpegQuality = 90;
// The expiry of a token that does not expire: 1 January 4001, in seconds since 1970.
inline constexpr double kDistantFuture = 64092211200.0;

class Facebook {
public:
    struct Settings {
        std::string appId;
        std::string dialog;       // the login dialog's address
        std::string graph;        // the Graph API's base, ending in "/"
        std::string redirectUri;  // where the dialog returns
        HttpLimits limits;
    };

    struct GraphParameter {
        std::string name;
        std::variant<std::string, Picture> value;
    };

    struct GraphAnswer {
        std::optional<Dictionary> result;  // set on success
        std::string description;           // on failure
        std::string details;
    };
    using GraphCompletion = std::function<void(GraphAnswer)>;

    enum class LoginOutcome { NotOurs, LoggedIn, Failed };

    explicit Facebook(Settings settings) : m_settings(std::move(settings)) {}

    void setAccessToken(std::string token) { m_accessToken = std::move(token); }
    const std::string& accessToken() const { return m_accessToken; }
    void setExpirationDate(double secondsSince1970) { m_expirationDate = secondsSince1970; }
    double expirationDate() const { return m_expirationDate; }

    // Opens the login dialog in the user's browser (UIServices::openURL).
    Result<Done> authorize(const std::vector<std::string>& permissions);
    // The dialog's callback: LoggedIn with the new session, Failed, or
    // NotOurs when no login waits or the state differs.
    LoginOutcome handleOpenURL(std::string_view url);
    bool isWaitingForLogin() const { return !m_state.empty(); }

    // Sends the request on the Background queue; completion on the main queue.
    void requestWithGraphPath(std::string_view path, std::vector<GraphParameter> parameters,
                              std::string_view method, GraphCompletion completion) const;

private:
    Settings m_settings;
    std::string m_accessToken;
    double m_expirationDate = 0;
    std::string m_state;  // of the login that waits for its callback
};

}  // namespace vantrel
