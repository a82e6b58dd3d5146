#pragma once

#include <QDate>

namespace tavim {

// The local clock, behind an interface so that the period defaults can be tested.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

} // namespace tavim
