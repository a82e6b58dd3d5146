#pragma once

#include "engine/emf/EmfHeader.h"

#include <QBrush>
#include <QByteArrayView>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QPointF>
#include <QTransform>
#include <unordered_map>
#include <variant>
#include <vector>

class QFontMetricsF;
class QPainter;
class QRectF;

namespace tavim {

class ByteReader;
class EmfRecordWalk;
class TextLineEngine;

// Replays the records of one validated metafile onto a QPainter, the page
// (the header's frame) mapped onto a target rectangle. Walks records by their
// size, skips the ones it does not know and stops at the first malformed one;
// the painter's state is restored afterwards.
class EmfPlayer {
public:
    using Object = std::variant<QPen, QBrush, QFont>;

    EmfPlayer(QPainter& painter, const EmfHeader& header);
    void play(QByteArrayView bytes, const QRectF& target);

private:
    // The device context that records change and drawing records read.
    struct Dc {
        QPen pen;
        QBrush brush;
        QFont font;
        quint32 textAlign = 0;
        QColor textColor = Qt::black;
        QColor bkColor = Qt::white;
        quint32 bkMode = 2;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        QPointF position;
        quint32 mapMode = 1;
        QPointF windowOrg;
        QPointF viewportOrg;
        QSizeF windowExt{1, 1};
        QSizeF viewportExt{1, 1};
        QTransform world;
    };

    void playAll(EmfRecordWalk& records);
    bool playRecord(quint32 type, ByteReader& r);

    void createPen(ByteReader& r);
    void createBrush(ByteReader& r);
    void createFont(ByteReader& r);
    void storeObject(quint32 handle, Object object);
    void selectObject(quint32 handle);
    void deleteObject(quint32 handle);
    void restoreDc(qint32 relative);
    void modifyWorldTransform(ByteReader& r);

    bool prepare(); // false: the current transform cannot be drawn with
    void lineTo(const QPointF& to);
    void rectangle(ByteReader& r);
    bool poly(ByteReader& r, bool filled, bool shortPoints);
    void text(ByteReader& record, bool wide);
    QPointF alignedBaseline(QPointF ref, double width, const QFontMetricsF& metrics) const;

    QTransform pageTransform() const;

    QPainter& m_painter;
    TextLineEngine* m_textLines; // the painter's engine when it shows texts itself
    EmfHeader m_header;
    QTransform m_base;
    Dc m_dc;
    std::vector<Dc> m_saved;
    std::unordered_map<quint32, Object> m_objects;
};

} // namespace tavim
