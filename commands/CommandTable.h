// The command vocabulary, declared once.
//
// VANTREL_COMMANDS lists the 41 commands in number order; a command's number
// is its position. Each entry names the command and its dispatcher row, the
// function of namespace rows that runs it (commands/DispatchRows.h). From that
// list come the CMD_ numbers, the name texts ("CMD_GRAY"), the subclasses
// (ActionCommand_GRAY, commands/ActionCommands.h) checked against their
// numbers, the rows of the command table, and the dispatcher's row
// declarations and table.
//
// Adding a command: its entry here, its parameter list below, its subclass
// (commands/ActionCommands.h), its processor forwarder (addCommand...) and
// the body of its row in the file of its family.
//
// Each command's parameters are declared once below, in the order its
// factory writes them after "cmd": key, kind, and whether the dispatcher
// multiplies the value by the preview scale (paramScale) before use. The
// factories, the typed getters, the text forms and the listing all read
// these declarations.
//
// Numbers outside 0..40 have no row: commandSpec gives null for them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// clang-format off
#define VANTREL_COMMANDS(X)                        \
    X(CALL_ACTION, CallAction)                     \
    X(SET_SELECTION, SetSelection)                 \
    X(SHARPEN, Sharpen)                            \
    X(DIFFUSE, Diffuse)                            \
    X(ANTICOLOR, AntiColor)                        \
    X(EXPOSURE, Exposure)                          \
    X(GASBLUR, GasBlur)                            \
    X(RADIALBLUR, RadialBlur)                      \
    X(COLORBALANCE, ColorBalance)                  \
    X(COLORLEVELS, ColorLevels)                    \
    X(HSL_ADUSTMENT, HSLAdjustment)                \
    X(HSL_TINT, HSLTint)                           \
    X(GRAY, Gray)                                  \
    X(BRIGHTNESS_CONTRAST, BrightnessContrast)     \
    X(REDUCENOISE, ReduceNoise)                    \
    X(ROTATE, Rotate)                              \
    X(CLIP, Clip)                                  \
    X(FLIP, Flip)                                  \
    X(ZOOM, Zoom)                                  \
    X(EMBOSS, Emboss)                              \
    X(MOSAICS, Mosaics)                            \
    X(PAINTING, Painting)                          \
    X(THRESHOLD, Threshold)                        \
    X(POSTERIZE, Posterize)                        \
    X(EQUALIZE, Equalize)                          \
    X(COMPLEMENT_COLOR, ComplementColor)           \
    X(SHADOW_HIGHLIGHT, ShadowHighlight)           \
    X(SOFTGLOW, SoftGlow)                          \
    X(RED_EYE_REMOVAL, RedEyeRemoval)              \
    X(RETINEX, Retinex)                            \
    X(DOT, Dot)                                    \
    X(GRADIENT_OVERLAY, GradientOverlay)           \
    X(SKETCH, Sketch)                              \
    X(NOISE, Noise)                                \
    X(BOKEH, Bokeh)                                \
    X(CURVE, Curve)                                \
    X(CHANNELMIX, ChannelMix)                      \
    X(CHANNELMIX_GRAY, ChannelMixGray)             \
    X(SELECTIVE_COLOR, SelectiveColor)             \
    X(AUTO_LEVELS, AutoLevels)                     \
    X(LOMO, Lomo)
// clang-format on

namespace vantrel {

class ActionCommand;
class Dictionary;

#define VANTREL_COMMAND_NUMBER(name, row) CMD_##name,
enum CommandNumber : int { VANTREL_COMMANDS(VANTREL_COMMAND_NUMBER) };
#undef VANTREL_COMMAND_NUMBER

// How a parameter is written into the dictionary and read back.
enum class ParamKind : std::uint8_t {
    Integer,      // "%d"; read as the leading integer of the text
    Float,        // "%f" of the value as double; read as the float of the text
    Boolean,      // "%d" of 0 or 1; read as the boolean of the text
    ActionName,   // the name of a named action
    ChannelName,  // a channel name (CHANEL_...)
    LomoName,     // a lomo style name (LE_...)
    Rect,         // the records below are nested arrays (commands/RecordPacking.h)
    Point,
    TinyHSL,
    HSLData,
    HueRangeData,
    ColorLevels,     // TColorLevelData
    TransferColors,  // three TransferColor arrays: shadows, midtones, highlights
    RGBPoints,       // RGBPoint arrays, one per gradient stop
    Vecs3,           // a Vec3 sequence
    ChannelMixer,
    ChannelMixScale,
    ScaleSet,  // ComplementScaleSet
};

enum class Scaling : bool { Fixed = false, Scaled = true };

struct ParamSpec {
    std::string_view key;
    ParamKind kind;
    Scaling scaling = Scaling::Fixed;
};

constexpr bool isNameKind(ParamKind kind) {
    return kind == ParamKind::ActionName || kind == ParamKind::ChannelName ||
           kind == ParamKind::LomoName;
}

constexpr bool isRecordKind(ParamKind kind) {
    return kind >= ParamKind::Rect;
}

// A short name of the kind for listings: "int", "float", "rect", ...
std::string_view paramKindName(ParamKind kind);

// Each command's parameters, named after the command.
namespace command_params {
using enum ParamKind;
constexpr Scaling S = Scaling::Scaled;
constexpr std::span<const ParamSpec> kNone{};

inline constexpr ParamSpec CALL_ACTION[] = {{"actionName", ActionName}};
inline constexpr ParamSpec SET_SELECTION[] = {{"selection", Rect, S}};
inline constexpr ParamSpec SHARPEN[] = {
    {"amount", Integer}, {"radius", Integer, S}, {"threshold", Integer}};
inline constexpr ParamSpec DIFFUSE[] = {{"spacing", Integer, S}, {"radius", Integer, S}};
inline constexpr auto ANTICOLOR = kNone;
inline constexpr ParamSpec EXPOSURE[] = {{"value", Float}};
inline constexpr ParamSpec GASBLUR[] = {{"radiusH", Integer, S}, {"radiusV", Integer, S}};
inline constexpr ParamSpec RADIALBLUR[] = {{"amount", Integer}, {"scale", Float, S}};
inline constexpr ParamSpec COLORBALANCE[] = {{"tColors", TransferColors},
                                             {"preserveLuminosity", Boolean}};
inline constexpr ParamSpec COLORLEVELS[] = {{"levelData", ColorLevels}};
inline constexpr ParamSpec HSL_ADUSTMENT[] = {{"hslData", HSLData}, {"hueRangeData", HueRangeData}};
inline constexpr ParamSpec HSL_TINT[] = {{"hsl", TinyHSL}};
inline constexpr auto GRAY = kNone;
inline constexpr ParamSpec BRIGHTNESS_CONTRAST[] = {{"brightness", Float}, {"contrast", Float}};
inline constexpr ParamSpec REDUCENOISE[] = {{"reduceNoiseMode", Integer}};
inline constexpr ParamSpec ROTATE[] = {{"degrees", Float}};
inline constexpr ParamSpec CLIP[] = {{"rect", Rect, S}};
inline constexpr ParamSpec FLIP[] = {{"flipH", Boolean}, {"flipV", Boolean}};
inline constexpr ParamSpec ZOOM[] = {{"scale", Float}};
inline constexpr ParamSpec EMBOSS[] = {
    {"degrees", Float}, {"highDegree", Integer, S}, {"amount", Integer}};
inline constexpr ParamSpec MOSAICS[] = {{"gridWidth", Integer, S}};
inline constexpr ParamSpec PAINTING[] = {{"radius", Integer, S}, {"smoothness", Integer}};
inline constexpr ParamSpec THRESHOLD[] = {{"levels", Integer}};
inline constexpr ParamSpec POSTERIZE[] = {{"levels", Integer}};
inline constexpr ParamSpec EQUALIZE[] = {{"equalizeMode", Integer}};
inline constexpr auto COMPLEMENT_COLOR = kNone;
inline constexpr ParamSpec SHADOW_HIGHLIGHT[] = {{"shadows", Float}, {"highlights", Float}};
inline constexpr ParamSpec SOFTGLOW[] = {
    {"radius", Integer, S}, {"brightness", Float}, {"sharpness", Float}};
inline constexpr ParamSpec RED_EYE_REMOVAL[] = {{"threshold", Integer}};
inline constexpr ParamSpec RETINEX[] = {
    {"level", Integer}, {"scaleDivision", Integer}, {"dynamic", Float}};
inline constexpr ParamSpec DOT[] = {{"gridWidth", Integer, S}};
inline constexpr ParamSpec GRADIENT_OVERLAY[] = {
    {"blendMode", Integer}, {"style", Integer}, {"points", RGBPoints}, {"pointsNum", Integer},
    {"degrees", Float},     {"scale", Float},   {"opacity", Float},    {"reverse", Boolean}};
inline constexpr ParamSpec SKETCH[] = {{"radius", Integer, S}};
inline constexpr ParamSpec NOISE[] = {{"amount", Integer}, {"bColor", Boolean}};
inline constexpr ParamSpec BOKEH[] = {{"blurRadius", Integer, S},
                                      {"centerRadius", Integer, S},
                                      {"extendWidth", Integer, S},
                                      {"degrees", Integer},
                                      {"centerPoint", Point, S}};
inline constexpr ParamSpec CURVE[] = {{"points", Vecs3}, {"channel", ChannelName}};
inline constexpr ParamSpec CHANNELMIX[] = {{"channelMixer", ChannelMixer}};
inline constexpr ParamSpec CHANNELMIX_GRAY[] = {{"grayScale", ChannelMixScale}};
inline constexpr ParamSpec SELECTIVE_COLOR[] = {{"scaleSet", ScaleSet}};
inline constexpr auto AUTO_LEVELS = kNone;
inline constexpr ParamSpec LOMO[] = {{"lomo", LomoName}};
}  // namespace command_params

#define VANTREL_COMMAND_NAME(name, row) "CMD_" #name,
#define VANTREL_COMMAND_PARAMS(name, row) std::span<const ParamSpec>(command_params::name),
inline constexpr std::string_view kCommandNames[] = {VANTREL_COMMANDS(VANTREL_COMMAND_NAME)};
inline constexpr std::span<const ParamSpec> kCommandParams[] = {
    VANTREL_COMMANDS(VANTREL_COMMAND_PARAMS)};
#undef VANTREL_COMMAND_NAME
#undef VANTREL_COMMAND_PARAMS

inline constexpr int kCommandCount = static_cast<int>(std::size(kCommandNames));
static_assert(kCommandCount == 41);

// The key every command dictionary holds its name under.
inline constexpr std::string_view kCmdKey = "cmd";

// Makes the subclass object of a command around a dictionary.
using CommandFactory = std::unique_ptr<ActionCommand> (*)(Dictionary dic);

// One row of the command table.
struct CommandSpec {
    int number;
    std::string_view name;       // "CMD_GRAY"
    std::string_view className;  // "ActionCommand_GRAY"
    std::span<const ParamSpec> params;
    CommandFactory make;
};

// The 41 rows in number order.
std::span<const CommandSpec> commandTable();

// The row of a command number, or null when the number has none.
const CommandSpec* commandSpec(int number);

// The vocabulary as text, one line per command: number, name, and each
// parameter's key and kind, marked "scaled" where the preview scale applies.
std::string commandListing();

}  // namespace vantrel
