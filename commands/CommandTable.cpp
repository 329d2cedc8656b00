#include "commands/CommandTable.h"

#include <array>

#include "commands/ActionCommands.h"

namespace vantrel {
namespace {

template <typename Command>
std::unique_ptr<ActionCommand> makeCommand(Dictionary dic) {
    return std::make_unique<Command>(std::move(dic));
}

// Each subclass must name the command whose row it fills.
#define VANTREL_CHECK_SUBCLASS(name, row) static_assert(ActionCommand_##name::kCmd == CMD_##name);
VANTREL_COMMANDS(VANTREL_CHECK_SUBCLASS)
#undef VANTREL_CHECK_SUBCLASS

#define VANTREL_COMMAND_ROW(name, row)                                         \
    CommandSpec{CMD_##name, kCommandNames[CMD_##name], "ActionCommand_" #name, \
                kCommandParams[CMD_##name], &makeCommand<ActionCommand_##name>},
constexpr CommandSpec kCommandTable[] = {VANTREL_COMMANDS(VANTREL_COMMAND_ROW)};
#undef VANTREL_COMMAND_ROW

static_assert(std::size(kCommandTable) == kCommandCount);

}  // namespace

std::string_view paramKindName(ParamKind kind) {
    switch (kind) {
        case ParamKind::Integer:
            return "int";
        case ParamKind::Float:
            return "float";
        case ParamKind::Boolean:
            return "bool";
        case ParamKind::ActionName:
            return "action name";
        case ParamKind::ChannelName:
            return "channel name";
        case ParamKind::LomoName:
            return "lomo style name";
        case ParamKind::Rect:
            return "rect [x, y, width, height]";
        case ParamKind::Point:
            return "point [x, y]";
        case ParamKind::TinyHSL:
            return "TinyHSL";
        case ParamKind::HSLData:
            return "HSLData";
        case ParamKind::HueRangeData:
            return "HueRangeData";
        case ParamKind::ColorLevels:
            return "TColorLevelData";
        case ParamKind::TransferColors:
            return "TransferColor x 3";
        case ParamKind::RGBPoints:
            return "RGBPoint list";
        case ParamKind::Vecs3:
            return "Vec3 list";
        case ParamKind::ChannelMixer:
            return "TinyChannelMixer";
        case ParamKind::ChannelMixScale:
            return "TinyChannelMixScale";
        case ParamKind::ScaleSet:
            return "ComplementScaleSet";
    }
    return "?";
}

std::span<const CommandSpec> commandTable() {
    return kCommandTable;
}

const CommandSpec* commandSpec(int number) {
    if (number < 0 || number >= kCommandCount) return nullptr;
    return &kCommandTable[number];
}

std::string commandListing() {
    std::string out;
    for (const CommandSpec& row : kCommandTable) {
        std::string line = std::to_string(row.number);
        if (line.size() < 2) line.insert(0, 1, ' ');
        line += ' ';
        line += row.name;
        for (std::size_t i = 0; i < row.params.size(); ++i) {
            const ParamSpec& param = row.params[i];
            line += i == 0 ? "  " : ", ";
            line += param.key;
            line += " (";
            line += paramKindName(param.kind);
            if (param.scaling == Scaling::Scaled) line += ", scaled";
            line += ')';
        }
        out += line;
        out += '\n';
    }
    return out;
}

}  // namespace vantrel
