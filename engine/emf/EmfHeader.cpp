#include "engine/emf/EmfHeader.h"

#include "engine/emf/ByteReader.h"
#include "engine/emf/EmfRecords.h"
#include "engine/emf/MetafileLog.h"

#include <algorithm>
#include <cmath>

namespace tavim {

namespace {

constexpr qint64 kVerdictBytes = 52;
constexpr qint64 kDeviceFieldsEnd = 88;
// Larger pages than this are no page of this program and would only cost memory.
constexpr double kMaxPagePixels = 100000;

RectL readRect(ByteReader& r) {
    RectL rect;
    rect.left = r.i32();
    rect.top = r.i32();
    rect.right = r.i32();
    rect.bottom = r.i32();
    return rect;
}

QSize readSize(ByteReader& r) {
    const qint32 cx = r.i32();
    const qint32 cy = r.i32();
    return QSize(cx, cy);
}

// Values come from 32-bit fields scaled by ratios of them with positive
// divisors, so they are finite.
int toPixels(double value) {
    return static_cast<int>(std::lround(std::clamp(value, -kMaxPagePixels, kMaxPagePixels)));
}

} // namespace

std::optional<EmfHeader> EmfHeader::read(ByteReader& r) {
    if (r.remaining() < kVerdictBytes)
        return refusedImage("fewer bytes than an EMF header");
    if (r.u32() != emf::EMR_HEADER)
        return refusedImage("a first record that is not EMR_HEADER");
    EmfHeader h;
    h.recordSize = r.u32();
    h.bounds = readRect(r);
    h.frame = readRect(r);
    if (r.u32() != emf::kSignature)
        return refusedImage("no \" EMF\" signature");
    r.skip(4); // version: readers of other versions' files still play them
    h.nBytes = r.u32();
    if (h.recordSize < emf::kHeaderMinSize || h.recordSize % 4 != 0)
        return refusedImage("a header record size below 88 or not a multiple of 4");
    if (h.nBytes < h.recordSize || h.nBytes % 4 != 0 || h.nBytes > emf::kMaxBytes)
        return refusedImage("an nBytes below the header, not a multiple of 4 or above the limit");
    if (r.remaining() < kDeviceFieldsEnd - kVerdictBytes)
        return h;
    h.nRecords = r.u32();
    h.nHandles = r.u16();
    r.skip(2 + 4 + 4 + 4); // reserved, description, palette
    h.device = readSize(r);
    h.millimeters = readSize(r);
    if (h.recordSize >= emf::kHeaderExt2Size && r.remaining() >= 20) {
        r.skip(12); // pixel format, OpenGL
        h.micrometers = readSize(r);
    }
    return h;
}

QRect EmfHeader::pageRect() const {
    double perUnitX = 0; // pixels per .01 mm
    double perUnitY = 0;
    if (micrometers.width() > 0 && micrometers.height() > 0) {
        perUnitX = 10.0 * device.width() / micrometers.width();
        perUnitY = 10.0 * device.height() / micrometers.height();
    } else if (millimeters.width() > 0 && millimeters.height() > 0) {
        perUnitX = device.width() / (100.0 * millimeters.width());
        perUnitY = device.height() / (100.0 * millimeters.height());
    }
    if (perUnitX <= 0 || perUnitY <= 0) {
        const double width = double(bounds.right) - bounds.left + 1;
        const double height = double(bounds.bottom) - bounds.top + 1;
        return QRect(toPixels(bounds.left), toPixels(bounds.top), std::max(0, toPixels(width)),
                     std::max(0, toPixels(height)));
    }
    const double left = double(frame.left) * perUnitX;
    const double top = double(frame.top) * perUnitY;
    const double width = (double(frame.right) - frame.left) * perUnitX;
    const double height = (double(frame.bottom) - frame.top) * perUnitY;
    return QRect(toPixels(left), toPixels(top), std::max(0, toPixels(width)),
                 std::max(0, toPixels(height)));
}

} // namespace tavim
