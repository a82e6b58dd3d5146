#pragma once

#include "app/Application.h"
#include "app/Clock.h"

#include <QStringList>

namespace tavim::test {

// What the error box would have shown, in order, and its last caption.
QStringList& shownErrors();
QString& shownCaption();

class FixedClock : public Clock {
public:
    explicit FixedClock(QDate day) : m_day(day) {}
    QDate today() const override { return m_day; }

private:
    QDate m_day;
};

} // namespace tavim::test
