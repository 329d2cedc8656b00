#include "Share/ShareConfig.h"

#include <sys/stat.h>

#include <cerrno>

#include "commands/Json.h"
#include "platform/DocumentsDirectory.h"
#include "platform/Files.h"
#include "platform/HttpClient.h"

namespace vantrel {
namespace {

constexpr std::size_t kMaxValueBytes = 512;

struct Field {
    const char* name;
    std::string ShareProviderConfig::*member;
};

constexpr Field kFields[] = {
    {"consumer_key", &ShareProviderConfig::consumerKey},
    {"consumer_secret", &ShareProviderConfig::consumerSecret},
    {"api", &ShareProviderConfig::api},
    {"twitpic_key", &ShareProviderConfig::twitpicKey},
    {"twitpic_api", &ShareProviderConfig::twitpicApi},
    {"app_id", &ShareProviderConfig::appId},
    {"dialog", &ShareProviderConfig::dialog},
    {"graph", &ShareProviderConfig::graph},
};

bool IsPlainText(const std::string& text) {
    if (text.size() > kMaxValueBytes) return false;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    }
    return true;
}

std::string WithSlash(std::string base) {
    if (!base.empty() && base.back() != '/') base += '/';
    return base;
}

// Reads one provider's section; the error names the bad value.
std::string ReadProvider(const Dictionary& section, const char* sectionName,
                         ShareProviderConfig& provider) {
    for (const Field& field : kFields) {
        const Value* value = section.find(field.name);
        if (!value) continue;
        if (!value->text() && !value->number()) {
            return std::string("\"") + sectionName + "." + field.name + "\" is not a text";
        }
        std::string text = value->stringValue();
        if (!IsPlainText(text)) {
            return std::string("\"") + sectionName + "." + field.name + "\" is not a plain text";
        }
        provider.*(field.member) = std::move(text);
    }
    provider.api = WithSlash(provider.api);
    provider.twitpicApi = WithSlash(provider.twitpicApi);
    provider.graph = WithSlash(provider.graph);
    return {};
}

std::string ReadSettings(const Dictionary& root, ShareConfig& config) {
    for (const ShareProvider& info : kShareProviders) {
        const Value* section = root.find(info.configName);
        if (!section) continue;
        if (!section->dictionary())
            return std::string("\"") + info.configName + "\" is not an object";
        const std::string error = ReadProvider(*section->dictionary(), info.configName,
                                               config.providers[static_cast<unsigned>(info.code)]);
        if (!error.empty()) return error;
    }
    if (const Value* callback = root.find("callback")) {
        if (!callback->text() || callback->text()->empty() || !IsPlainText(*callback->text())) {
            return "\"callback\" is not an address";
        }
        config.callback = *callback->text();
    }
    if (const Value* timeout = root.find("timeout_seconds")) {
        const double seconds = timeout->doubleValue();
        if (!timeout->number() || !(seconds >= 1 && seconds <= 300)) {
            return "\"timeout_seconds\" is not a number from 1 to 300";
        }
        config.timeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    }
    return {};
}

std::string MissingKeys(const ShareProvider& info, const ShareConfig& config, const char* keys) {
    return std::string(info.displayName) + " is not set up: add its " + keys + " under \"" +
           info.configName + "\" in " + config.file + ".";
}

std::string AddressProblem(const ShareProvider& info, const std::string& address,
                           const char* name) {
    if (address.empty()) {
        return std::string(info.displayName) + " is not set up: it has no \"" + name +
               "\" address.";
    }
    const Result<Done> allowed = CheckHttpUrl(address);
    if (allowed) return {};
    return std::string(info.displayName) + " is not set up: its \"" + name +
           "\" address is refused. " + allowed.error();
}

}  // namespace

ShareConfig ShareConfig::defaults() {
    ShareConfig config;
    for (const ShareProvider& info : kShareProviders) {
        config.providers[static_cast<unsigned>(info.code)].api = info.defaultApi;
    }
    ShareProviderConfig& twitter = config.providers[kShareTwitter];
    twitter.twitpicApi = "https://api.twitpic.com/";
    ShareProviderConfig& facebook = config.providers[kShareFacebook];
    facebook.dialog = "https://www.facebook.com/dialog/oauth";
    facebook.graph = "https://graph.facebook.com/";
    return config;
}

ShareConfig ShareConfig::load(const std::string& file) {
    ShareConfig config = defaults();
    config.file = file;
    // No file is the usual case before anything is set up.
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0 && errno == ENOENT) return config;
    const auto bytes = ReadWholeFile(file, kMaxShareConfigBytes);
    if (!bytes) {
        config.problem = bytes.error();
        return config;
    }
    const std::string text(bytes.value().begin(), bytes.value().end());
    const std::optional<Dictionary> root = dictionaryWithJSONString(text);
    std::string error = root ? "" : "it is not a JSON object";
    ShareConfig read = config;
    if (root) error = ReadSettings(*root, read);
    if (!error.empty()) {
        config.problem = file + " can not be used: " + error + ".";
        return config;
    }
    return read;
}

ShareConfig ShareConfig::loadFromDocuments() {
    return load(DocumentsDirectoryPath() + "/" + kShareConfigFileName);
}

const ShareProviderConfig& ShareConfig::provider(int code) const {
    static const ShareProviderConfig kNone;
    const ShareProvider* info = ShareProviderFor(code);
    return info ? providers[static_cast<unsigned>(code)] : kNone;
}

std::string ShareConfig::setupProblem(int code) const {
    const ShareProvider* info = ShareProviderFor(code);
    if (!info) return "There is no share provider with code " + std::to_string(code) + ".";
    if (!problem.empty()) return std::string(info->displayName) + " is not set up: " + problem;
    const ShareProviderConfig& keys = provider(code);
    if (code == kShareFacebook) {
        if (keys.appId.empty()) return MissingKeys(*info, *this, "app_id");
        std::string bad = AddressProblem(*info, keys.dialog, "dialog");
        return bad.empty() ? AddressProblem(*info, keys.graph, "graph") : bad;
    }
    if (keys.consumerKey.empty() || keys.consumerSecret.empty()) {
        return MissingKeys(*info, *this, "consumer_key and consumer_secret");
    }
    if (code == kShareTwitter && keys.twitpicKey.empty()) {
        return MissingKeys(*info, *this, "twitpic_key");
    }
    std::string bad = AddressProblem(*info, keys.api, "api");
    if (bad.empty() && code == kShareTwitter)
        bad = AddressProblem(*info, keys.twitpicApi, "twitpic_api");
    return bad;
}

}  // namespace vantrel
