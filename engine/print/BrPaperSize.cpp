#include "engine/print/BrPaperSize.h"

#include <array>

namespace tavim {

namespace {

struct Paper {
    const char* name;
    double width;
    double length;
};

constexpr std::array<Paper, kPaperSizeCount> kPapers{{
    {"Default", 0, 0},
    {"Letter", 215.9, 279.4},
    {"LetterSmall", 215.9, 279.4},
    {"Tabloid", 279.4, 431.8},
    {"Ledger", 431.8, 279.4},
    {"Legal", 215.9, 355.6},
    {"Statement", 139.7, 215.9},
    {"Executive", 190.5, 254},
    {"A3", 297, 420},
    {"A4", kA4WidthMm, kA4LengthMm},
    {"A4Small", kA4WidthMm, kA4LengthMm},
    {"A5", 148, 210},
    {"B4", 250, 354},
    {"B5", 182, 257},
    {"Folio", 215.9, 330.2},
    {"Quarto", 215, 275},
    {"br10X14", 254, 355.6},
    {"br11X17", 279.4, 431.8},
    {"Note", 215.9, 279},
    {"Env9", 98.43, 225.4},
    {"Env10", 104.8, 241.3},
    {"Env11", 114.3, 263.5},
    {"Env12", 101.6, 279.4},
    {"Env14", 127, 292.1},
    {"CSheet", 100, 100},
    {"DSheet", 100, 100},
    {"ESheet", 100, 100},
    {"Custom", 0, 0},
}};

constexpr std::array<int, kBinCount> kBinCodes{1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

constexpr int kUserDefinedPaper = 256;

const Paper& entry(TBrPaperSize paper) {
    return kPapers[static_cast<std::size_t>(paper)];
}

} // namespace

QString paperName(TBrPaperSize paper) {
    return QString::fromLatin1(entry(paper).name);
}

double paperWidthMm(TBrPaperSize paper) {
    return entry(paper).width;
}

double paperLengthMm(TBrPaperSize paper) {
    return entry(paper).length;
}

int paperCode(TBrPaperSize paper) {
    return paper == TBrPaperSize::Custom ? kUserDefinedPaper : static_cast<int>(paper);
}

std::optional<TBrPaperSize> paperFromCode(int code) {
    if (code == kUserDefinedPaper)
        return TBrPaperSize::Custom;
    if (code < 0 || code >= static_cast<int>(TBrPaperSize::Custom))
        return std::nullopt;
    return static_cast<TBrPaperSize>(code);
}

TBrPaperSize paperAt(int index) {
    return static_cast<TBrPaperSize>(index);
}

int binCode(TBrBin bin) {
    return kBinCodes[static_cast<std::size_t>(bin)];
}

std::optional<TBrBin> binFromCode(int code) {
    for (int i = 0; i < kBinCount; ++i) {
        if (kBinCodes[static_cast<std::size_t>(i)] == code)
            return static_cast<TBrBin>(i);
    }
    return std::nullopt;
}

} // namespace tavim
