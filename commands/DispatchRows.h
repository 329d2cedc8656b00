// The dispatcher's rows, one per command whose operation this build has,
// grouped by the file that defines them. A row runs one typed command on
// run.view (or run.bitmap) and returns whether the command succeeded; see
// commands/Dispatcher.h for the frame around it.
//
// Adding a command: write its row in the file of its family, declare it here
// and give it its entry in the table of commands/Dispatcher.cpp. Until then
// the command fails as "not available in this build".
#pragma once

#include "commands/ActionCommands.h"
#include "commands/Dispatcher.h"

namespace vantrel::rows {

// commands/GeometryRows.cpp: the selection and the commands that replace the
// bitmap's buffer or work on the whole bitmap.
bool SetSelection(const ActionCommand_SET_SELECTION& command, CommandRun& run);
bool Clip(const ActionCommand_CLIP& command, CommandRun& run);
bool Flip(const ActionCommand_FLIP& command, CommandRun& run);
bool Zoom(const ActionCommand_ZOOM& command, CommandRun& run);
bool Rotate(const ActionCommand_ROTATE& command, CommandRun& run);

// commands/ColorRows.cpp: curves, levels, colour balance, HSL, selective
// colour and the point colour operations.
bool AntiColor(const ActionCommand_ANTICOLOR& command, CommandRun& run);
bool Exposure(const ActionCommand_EXPOSURE& command, CommandRun& run);
bool ColorLevels(const ActionCommand_COLORLEVELS& command, CommandRun& run);
bool Gray(const ActionCommand_GRAY& command, CommandRun& run);
bool BrightnessContrast(const ActionCommand_BRIGHTNESS_CONTRAST& command, CommandRun& run);
bool Threshold(const ActionCommand_THRESHOLD& command, CommandRun& run);
bool Posterize(const ActionCommand_POSTERIZE& command, CommandRun& run);
bool Equalize(const ActionCommand_EQUALIZE& command, CommandRun& run);
bool ComplementColor(const ActionCommand_COMPLEMENT_COLOR& command, CommandRun& run);
bool Curve(const ActionCommand_CURVE& command, CommandRun& run);
bool ChannelMix(const ActionCommand_CHANNELMIX& command, CommandRun& run);
bool ChannelMixGray(const ActionCommand_CHANNELMIX_GRAY& command, CommandRun& run);
bool AutoLevels(const ActionCommand_AUTO_LEVELS& command, CommandRun& run);
bool ColorBalance(const ActionCommand_COLORBALANCE& command, CommandRun& run);
bool HSLAdjustment(const ActionCommand_HSL_ADUSTMENT& command, CommandRun& run);
bool HSLTint(const ActionCommand_HSL_TINT& command, CommandRun& run);
bool SelectiveColor(const ActionCommand_SELECTIVE_COLOR& command, CommandRun& run);

// commands/BlendRows.cpp: layer blending and gradients.
bool GradientOverlay(const ActionCommand_GRADIENT_OVERLAY& command, CommandRun& run);

// commands/FilterRows.cpp: blurs, sharpening and glow, bokeh, noise,
// retinex, shadow and highlight, red-eye removal and the artistic filters.
bool GasBlur(const ActionCommand_GASBLUR& command, CommandRun& run);
bool Sharpen(const ActionCommand_SHARPEN& command, CommandRun& run);
bool SoftGlow(const ActionCommand_SOFTGLOW& command, CommandRun& run);
bool RadialBlur(const ActionCommand_RADIALBLUR& command, CommandRun& run);
bool Bokeh(const ActionCommand_BOKEH& command, CommandRun& run);
bool ShadowHighlight(const ActionCommand_SHADOW_HIGHLIGHT& command, CommandRun& run);
bool Diffuse(const ActionCommand_DIFFUSE& command, CommandRun& run);
bool Emboss(const ActionCommand_EMBOSS& command, CommandRun& run);
bool Mosaics(const ActionCommand_MOSAICS& command, CommandRun& run);
bool Dot(const ActionCommand_DOT& command, CommandRun& run);
bool Painting(const ActionCommand_PAINTING& command, CommandRun& run);
bool Sketch(const ActionCommand_SKETCH& command, CommandRun& run);
bool Noise(const ActionCommand_NOISE& command, CommandRun& run);
bool ReduceNoise(const ActionCommand_REDUCENOISE& command, CommandRun& run);
bool RedEyeRemoval(const ActionCommand_RED_EYE_REMOVAL& command, CommandRun& run);
bool Retinex(const ActionCommand_RETINEX& command, CommandRun& run);

// commands/LomoRows.cpp: the lomo looks.
bool Lomo(const ActionCommand_LOMO& command, CommandRun& run);

// commands/ActionRows.cpp: named actions.
bool CallAction(const ActionCommand_CALL_ACTION& command, CommandRun& run);

}  // namespace vantrel::rows
