#pragma once

#include <QString>
#include <optional>

namespace tavim {

// The paper table, in driver order: the index of an entry is its printer-driver
// code, except Custom (code 256, the user-defined size).
enum class TBrPaperSize {
    Default,
    Letter,
    LetterSmall,
    Tabloid,
    Ledger,
    Legal,
    Statement,
    Executive,
    A3,
    A4,
    A4Small,
    A5,
    B4,
    B5,
    Folio,
    Quarto,
    br10X14,
    br11X17,
    Note,
    Env9,
    Env10,
    Env11,
    Env12,
    Env14,
    CSheet,
    DSheet,
    ESheet,
    Custom
};
inline constexpr int kPaperSizeCount = 28;

enum class TBrOrientation { Portrait, Landscape };

enum class TBrBin {
    First,
    Upper,
    Lower,
    Middle,
    Manual,
    Envelope,
    EnvManual,
    Auto,
    Tractor,
    SmallFormat,
    LargeFormat,
    LargeCapacity,
    Cassette,
    Last
};
inline constexpr int kBinCount = 14;

// A4, the paper a report, a printer without a size and the exports default to.
inline constexpr double kA4WidthMm = 210;
inline constexpr double kA4LengthMm = 297;

QString paperName(TBrPaperSize paper);
// Width and length in millimetres; 0 for Default and Custom, whose size is not in the table.
double paperWidthMm(TBrPaperSize paper);
double paperLengthMm(TBrPaperSize paper);
int paperCode(TBrPaperSize paper);
std::optional<TBrPaperSize> paperFromCode(int code);
TBrPaperSize paperAt(int index);

int binCode(TBrBin bin);
// The first bin whose code is `code`.
std::optional<TBrBin> binFromCode(int code);

} // namespace tavim
