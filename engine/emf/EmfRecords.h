#pragma once

#include <QtGlobal>

// Record types and GDI constants of the enhanced metafile format, as far as the
// recorder writes them or the player understands them.
namespace tavim::emf {

enum RecordType : quint32 {
    EMR_HEADER = 1,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_EOF = 14,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_SETMAPMODE = 17,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETTEXTALIGN = 22,
    EMR_SETTEXTCOLOR = 24,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_RECTANGLE = 43,
    EMR_LINETO = 54,
    EMR_EXTCREATEFONTINDIRECTW = 82,
    EMR_EXTTEXTOUTA = 83,
    EMR_EXTTEXTOUTW = 84,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
};

constexpr quint32 kSignature = 0x464D4520; // " EMF"
constexpr quint32 kVersion = 0x10000;
constexpr qint64 kHeaderMinSize = 88;
constexpr qint64 kHeaderExt2Size = 108;
constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxRecords = 4 * 1024 * 1024;
// Longer texts are skipped unread.
constexpr quint32 kMaxTextChars = 65536;

// Stock objects are selected by handle with the top bit set.
constexpr quint32 kStockFlag = 0x80000000;
enum StockObject : quint32 {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    OEM_FIXED_FONT = 10,
    ANSI_FIXED_FONT = 11,
    ANSI_VAR_FONT = 12,
    SYSTEM_FONT = 13,
    DEVICE_DEFAULT_FONT = 14,
    SYSTEM_FIXED_FONT = 16,
    DEFAULT_GUI_FONT = 17,
    DC_BRUSH = 18,
    DC_PEN = 19,
};

enum PenStyle : quint32 {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
    PS_INSIDEFRAME = 6,
};
constexpr quint32 kPenStyleMask = 0x0F;

enum BrushStyle : quint32 { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };
enum HatchStyle : quint32 {
    HS_HORIZONTAL = 0,
    HS_VERTICAL = 1,
    HS_FDIAGONAL = 2,
    HS_BDIAGONAL = 3,
    HS_CROSS = 4,
    HS_DIAGCROSS = 5,
};

enum BackgroundMode : quint32 { TRANSPARENT = 1, OPAQUE = 2 };
enum PolyFillMode : quint32 { ALTERNATE = 1, WINDING = 2 };

enum TextAlign : quint32 {
    TA_LEFT = 0,
    TA_UPDATECP = 1,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};
constexpr quint32 kHorizontalAlignMask = 6;
constexpr quint32 kVerticalAlignMask = 24;

enum ExtTextOutOption : quint32 { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4 };

enum MapMode : quint32 {
    MM_TEXT = 1,
    MM_LOMETRIC = 2,
    MM_HIMETRIC = 3,
    MM_LOENGLISH = 4,
    MM_HIENGLISH = 5,
    MM_TWIPS = 6,
    MM_ISOTROPIC = 7,
    MM_ANISOTROPIC = 8,
};

enum WorldTransformMode : quint32 { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3 };

constexpr int kLogFontSize = 92;
constexpr int kLogFontPanoseSize = 320;
constexpr int kFaceNameChars = 32;
constexpr int kExtTextOutFixedSize = 76;

} // namespace tavim::emf
