#include "app/cli/UnknownCommands.h"

#include <algorithm>
#include <cctype>
#include <numeric>

#include "commands/ActionCommand.h"
#include "commands/CommandTable.h"

namespace vantrel::cli {
namespace {

constexpr std::string_view kPrefix = "CMD_";
constexpr std::size_t kMaxSuggestions = 3;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Levenshtein distance: insertions, deletions and substitutions.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::vector<std::string_view> ClosestCommandNames(std::string_view name) {
    // Names are short; anything long is no misspelling of one.
    if (name.size() > 64) return {};
    std::string wanted = Upper(name);
    if (!wanted.starts_with(kPrefix)) wanted.insert(0, kPrefix);
    const std::size_t reach = std::max<std::size_t>(2, wanted.size() / 4);
    std::vector<std::pair<std::size_t, int>> near;  // distance, command number
    for (int number = 0; number < kCommandCount; ++number) {
        const std::size_t distance = EditDistance(wanted, kCommandNames[number]);
        if (distance <= reach) near.emplace_back(distance, number);
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string_view> names;
    for (std::size_t i = 0; i < near.size() && i < kMaxSuggestions; ++i) {
        names.push_back(kCommandNames[near[i].second]);
    }
    return names;
}

std::string UnknownCommandError(const Dictionary& command, std::string_view origin) {
    const Value* cmd = command.find("cmd");
    if (!cmd || !cmd->text()) {
        return "a command without a \"cmd\" name in " + std::string(origin);
    }
    const std::string& name = *cmd->text();
    if (ActionCommand::stringToCmd(name) >= 0) return {};
    std::string error = "unknown command \"" + name + "\" in " + std::string(origin) + "; ";
    const std::vector<std::string_view> closest = ClosestCommandNames(name);
    if (closest.empty()) return error + "see vantrel commands for the known names";
    error += "closest known: ";
    for (std::size_t i = 0; i < closest.size(); ++i) {
        error += (i ? ", " : "") + std::string(closest[i]);
    }
    return error;
}

}  // namespace vantrel::cli
