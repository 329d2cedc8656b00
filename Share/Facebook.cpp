#include "Share/Facebook.h"

#include <ctime>
#include <memory>

#include "Share/Multipart.h"
#include "Share/OAuth/OAuthEncoding.h"
#include "commands/Json.h"
#include "platform/JpegCodec.h"
#include "platform/SecureRandom.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
    return text;
}

// The callback's parameters: its fragment's, then its query's.
OAuthParameters CallbackParameters(std::string_view url) {
    const UrlParts parts = SplitUrl(url);
    OAuthParameters parameters = ParseFormText(parts.fragment);
    for (auto& parameter : ParseFormText(parts.query)) parameters.push_back(std::move(parameter));
    return parameters;
}

// Seconds from now, or the distant future for none, 0 or nonsense.
double ExpiryOf(const std::string& expiresIn) {
    if (expiresIn.empty() || expiresIn.size() > 10) return kDistantFuture;
    for (const char c : expiresIn) {
        if (c < '0' || c > '9') return kDistantFuture;
    }
    const double seconds = std::stod(expiresIn);
    return seconds == 0 ? kDistantFuture : static_cast<double>(std::time(nullptr)) + seconds;
}

Result<HttpRequest> GraphRequest(const Facebook::Settings& settings, const std::string& token,
                                 const std::string& path, const std::string& method,
                                 const std::vector<Facebook::GraphParameter>& parameters) {
    MultipartBody body(kGraphBoundary);
    for (const Facebook::GraphParameter& parameter : parameters) {
        if (const auto* text = std::get_if<std::string>(&parameter.value)) {
            body.addField(parameter.name, *text);
        }
    }
    body.addField("access_token", token);
    for (const Facebook::GraphParameter& parameter : parameters) {
        const auto* picture = std::get_if<Picture>(&parameter.value);
        if (!picture) continue;
        const auto jpeg = EncodeJpeg(*picture, kShareJpegQuality);
        if (!jpeg) return Result<HttpRequest>::Failure(jpeg.error());
        body.addPart("Content-Disposition: form-data; name=\"" + parameter.name +
                         "\"; filename=\"" + parameter.name +
                         ".jpg\"\r\nContent-Type: image/jpeg\r\n",
                     jpeg.value());
    }
    HttpRequest request;
    request.method = method;
    request.url = settings.graph + path;
    request.headers = {{"Content-Type", body.contentType()}};
    request.body = body.finish();
    return Result<HttpRequest>::Success(std::move(request));
}

Facebook::GraphAnswer AnswerOf(const Result<HttpResponse>& response) {
    Facebook::GraphAnswer answer;
    if (!response) {
        answer.description = response.error();
        return answer;
    }
    const std::optional<Dictionary> json = dictionaryWithJSONString(response.value().body);
    const Value* error = json ? json->find("error") : nullptr;
    if (!json || error) {
        answer.description = "The Graph API answered HTTP " +
                             std::to_string(response.value().status) +
                             (json ? " with an error" : " with no JSON object");
        if (error && error->dictionary()) answer.details = jsonStringValue(*error->dictionary());
        return answer;
    }
    answer.result = *json;
    return answer;
}

}  // namespace

Result<Done> Facebook::authorize(const std::vector<std::string>& permissions) {
    const Result<std::string> state = RandomHexText(16);
    if (!state) return Result<Done>::Failure(state.error());
    m_state = state.value();
    const std::string url = m_settings.dialog +
                            "?client_id=" + OAuthPercentEncode(m_settings.appId) +
                            "&redirect_uri=" + OAuthPercentEncode(m_settings.redirectUri) +
                            "&scope=" + OAuthPercentEncode(Joined(permissions)) +
                            "&response_type=token&display=touch&state=" + m_state;
    currentUIServices().openURL(url);
    return Result<Done>::Success(Done{});
}

Facebook::LoginOutcome Facebook::handleOpenURL(std::string_view url) {
    const OAuthParameters parameters = CallbackParameters(url);
    if (m_state.empty() || FindParameter(parameters, "state") != m_state)
        return LoginOutcome::NotOurs;
    m_state.clear();
    const std::string token = FindParameter(parameters, "access_token");
    if (!FindParameter(parameters, "error").empty() || token.empty()) return LoginOutcome::Failed;
    m_accessToken = token;
    m_expirationDate = ExpiryOf(FindParameter(parameters, "expires_in"));
    return LoginOutcome::LoggedIn;
}

void Facebook::requestWithGraphPath(std::string_view path, std::vector<GraphParameter> parameters,
                                    std::string_view method, GraphCompletion completion) const {
    SendHttpRequest(
        [settings = m_settings, token = m_accessToken, path = std::string(path),
         method = std::string(method), parameters = std::move(parameters)] {
            return GraphRequest(settings, token, path, method, parameters);
        },
        m_settings.limits,
        [completion = std::move(completion)](Result<HttpResponse> response) {
            completion(AnswerOf(response));
        });
}

}  // namespace vantrel
