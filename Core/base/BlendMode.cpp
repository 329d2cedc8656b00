#include "Core/base/BlendMode.h"

#include <cstddef>
#include <cstring>
#include <memory>

#include "Core/global/ParallelRows.h"
#include "Core/global/TiAssert.h"
#include "Core/global/TiMemory.h"

namespace vantrel {
namespace {

constexpr const char kTiSourceFile[] = "Core/base/BlendMode";

// Marks the three colour bytes where a channel selector would give a byte.
constexpr int kColourBytes = -1;

using BlendTable = TiBuffer<unsigned char>;

using Generator = void (*)(unsigned char*, double);

constexpr Generator kGenerators[] = {
    GLT_Darken,    GLT_Lighten,     GLT_Multiply,    GLT_Screen,    GLT_ColorDodge,
    GLT_ColorBurn, GLT_LinearDodge, GLT_LinearBurn,  GLT_Overlay,   GLT_SoftLight,
    GLT_HardLight, GLT_VividLight,  GLT_LinearLight, GLT_PinLight,  GLT_HardMix,
    GLT_Add,       GLT_Sub,         GLT_Difference,  GLT_Exclusion, GLT_SoftGlow,
};

bool OpacityInRange(double opacity) {
    return opacity >= 0 && opacity <= 1.0;
}

// kColourBytes for selector 0, else the byte index (asserting 1..4).
int SelectedByte(int channel) {
    return channel == 0 ? kColourBytes : ConvertRGBIndex(channel);
}

// Whether a pixel of `bpp` bytes holds the bytes a pass reads or writes.
bool HasBytes(int bpp, int byte, bool needsColour) {
    return (!needsColour || bpp >= 3) && byte < bpp;
}

struct Pass {
    unsigned char* dst;
    std::ptrdiff_t dstPitch;
    int dstBpp;
    const unsigned char* src;
    std::ptrdiff_t srcPitch;
    int srcBpp;
    int width;
    int height;
    const unsigned char* table;
};

inline unsigned char Look(const unsigned char* table, unsigned base, unsigned blend) {
    return table[base << 8 | blend];
}

// Channel 0 with blend channel 0, the common case, unrolled per pixel size.
// All six bytes are read before any is written, which also serves a blend
// bitmap that is the destination itself.
template <int DstBpp, int SrcBpp>
void BlendColourRow(unsigned char* d, const unsigned char* s, int width, const unsigned char* t) {
    for (int x = 0; x < width; ++x, d += DstBpp, s += SrcBpp) {
        const unsigned d0 = d[0], d1 = d[1], d2 = d[2];
        const unsigned s0 = s[0], s1 = s[1], s2 = s[2];
        d[0] = Look(t, d0, s0);
        d[1] = Look(t, d1, s1);
        d[2] = Look(t, d2, s2);
    }
}

template <int DstBpp, int SrcBpp>
void BlendColourRows(const Pass& p, int rowBegin, int rowEnd) {
    for (int y = rowBegin; y < rowEnd; ++y) {
        BlendColourRow<DstBpp, SrcBpp>(p.dst + y * p.dstPitch, p.src + y * p.srcPitch, p.width,
                                       p.table);
    }
}

void BlendColourBand(const Pass& p, int rowBegin, int rowEnd) {
    if (p.dstBpp == 4 && p.srcBpp == 4) return BlendColourRows<4, 4>(p, rowBegin, rowEnd);
    if (p.dstBpp == 4) return BlendColourRows<4, 3>(p, rowBegin, rowEnd);
    if (p.srcBpp == 4) return BlendColourRows<3, 4>(p, rowBegin, rowEnd);
    BlendColourRows<3, 3>(p, rowBegin, rowEnd);
}

// The selector cases other than colour onto colour. Every byte is read at the
// moment it is used, so a destination byte rewritten earlier in the pixel is
// seen with its new value. The geometry is copied into locals because byte
// stores could otherwise alias it.
void BlendSelectedRow(unsigned char* d, int dstBpp, int dstByte, const unsigned char* s, int srcBpp,
                      int srcByte, int width, const unsigned char* t) {
    if (dstByte == kColourBytes) {
        for (int x = 0; x < width; ++x, d += dstBpp, s += srcBpp) {
            for (int n = 0; n < 3; ++n) d[n] = Look(t, d[n], s[srcByte]);
        }
    } else if (srcByte == kColourBytes) {
        for (int x = 0; x < width; ++x, d += dstBpp, s += srcBpp) {
            for (int n = 0; n < 3; ++n) d[n] = Look(t, d[dstByte], s[n]);
        }
    } else {
        d += dstByte;
        s += srcByte;
        for (int x = 0; x < width; ++x, d += dstBpp, s += srcBpp) *d = Look(t, *d, *s);
    }
}

void BlendSelectedBand(const Pass& p, int dstByte, int srcByte, int rowBegin, int rowEnd) {
    for (int y = rowBegin; y < rowEnd; ++y) {
        BlendSelectedRow(p.dst + y * p.dstPitch, p.dstBpp, dstByte, p.src + y * p.srcPitch,
                         p.srcBpp, srcByte, p.width, p.table);
    }
}

// The gray-mask pass: the mask is the blend pixel, one byte wide.
template <int DstBpp>
void MaskColourRow(unsigned char* d, const unsigned char* m, int width, const unsigned char* t) {
    for (int x = 0; x < width; ++x, d += DstBpp) {
        const unsigned blend = m[x];
        const unsigned d0 = d[0], d1 = d[1], d2 = d[2];
        d[0] = Look(t, d0, blend);
        d[1] = Look(t, d1, blend);
        d[2] = Look(t, d2, blend);
    }
}

template <int DstBpp>
void MaskColourRows(const Pass& p, int rowBegin, int rowEnd) {
    for (int y = rowBegin; y < rowEnd; ++y) {
        MaskColourRow<DstBpp>(p.dst + y * p.dstPitch, p.src + y * p.srcPitch, p.width, p.table);
    }
}

void MaskOneByteRow(unsigned char* d, int bpp, const unsigned char* m, int width,
                    const unsigned char* t) {
    for (int x = 0; x < width; ++x, d += bpp) *d = Look(t, *d, m[x]);
}

void MaskOneByteRows(const Pass& p, int byte, int rowBegin, int rowEnd) {
    for (int y = rowBegin; y < rowEnd; ++y) {
        MaskOneByteRow(p.dst + y * p.dstPitch + byte, p.dstBpp, p.src + y * p.srcPitch, p.width,
                       p.table);
    }
}

// Allocates a table for `mode` at `opacity`; null when memory can't be had.
BlendTable MakeTable(int mode, double opacity) {
    BlendTable table(kBlendTableSize);
    if (table) GenerateLookupTable(table.get(), mode, opacity);
    return table;
}

}  // namespace

void GenerateLookupTable(unsigned char* table, int mode, double opacity) {
    for (int a = 0; a < 256; ++a) std::memset(table + a * 256, a, 256);
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 96);
    TI_ASSERT(mode >= 1 && mode <= 20, "false", 161);
    kGenerators[mode - 1](table, opacity);
}

int ConvertRGBIndex(int channel) {
    TI_ASSERT(channel >= 1 && channel <= 4, "false", 185);
    return channel - 1;
}

int AdjustBlendModeCurve(TiBitmapData& bitmap, int channel, const TiBitmapData& blendBitmap,
                         int blendChannel, const unsigned char* table) {
    TI_ASSERT(bitmap.GetWidth() == blendBitmap.GetWidth(), "width == blendWidth", 210);
    TI_ASSERT(bitmap.GetHeight() == blendBitmap.GetHeight(), "height == blendHeight", 211);
    const int dstByte = SelectedByte(channel);
    const int srcByte = SelectedByte(blendChannel);
    const bool dstColour = dstByte == kColourBytes || srcByte == kColourBytes;
    if (!HasBytes(bitmap.GetBpp(), dstByte, dstColour) ||
        !HasBytes(blendBitmap.GetBpp(), srcByte, srcByte == kColourBytes)) {
        return 0;
    }
    const Pass pass{bitmap.GetData(),      bitmap.GetPitch(),      bitmap.GetBpp(),
                    blendBitmap.GetData(), blendBitmap.GetPitch(), blendBitmap.GetBpp(),
                    bitmap.GetWidth(),     bitmap.GetHeight(),     table};
    ParallelRows(pass.height, pass.width, [&](int rowBegin, int rowEnd) {
        if (dstByte == kColourBytes && srcByte == kColourBytes) {
            BlendColourBand(pass, rowBegin, rowEnd);
        } else {
            BlendSelectedBand(pass, dstByte, srcByte, rowBegin, rowEnd);
        }
    });
    return 1;
}

int BlendMode(TiBitmapData& bitmap, int channel, const TiBitmapData& blendBitmap, int blendChannel,
              int mode, double opacity) {
    TI_ASSERT(bitmap.GetWidth() == blendBitmap.GetWidth(), "width == blendWidth", 17);
    TI_ASSERT(bitmap.GetHeight() == blendBitmap.GetHeight(), "height == blendHeight", 18);
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 20);
    const BlendTable table = MakeTable(mode, opacity);
    if (!table) return 0;
    return AdjustBlendModeCurve(bitmap, channel, blendBitmap, blendChannel, table.get());
}

int BlendGrayMask(TiBitmapData& bitmap, int channel, const unsigned char* mask, int mode,
                  double opacity) {
    TI_ASSERT(OpacityInRange(opacity), "opacity >= 0 && opacity <= 1.0", 42);
    if (!mask) return 0;
    const BlendTable table = MakeTable(mode, opacity);
    if (!table) return 0;
    const int byte = SelectedByte(channel);
    if (!HasBytes(bitmap.GetBpp(), byte, byte == kColourBytes)) return 0;

    const Pass pass{
        bitmap.GetData(),  bitmap.GetPitch(),  bitmap.GetBpp(), mask, bitmap.GetWidth(), 1,
        bitmap.GetWidth(), bitmap.GetHeight(), table.get()};
    ParallelRows(pass.height, pass.width, [&](int rowBegin, int rowEnd) {
        if (byte != kColourBytes) return MaskOneByteRows(pass, byte, rowBegin, rowEnd);
        if (pass.dstBpp == 4) return MaskColourRows<4>(pass, rowBegin, rowEnd);
        MaskColourRows<3>(pass, rowBegin, rowEnd);
    });
    return 1;
}

}  // namespace vantrel
