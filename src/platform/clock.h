// The clock: where today's date comes from. The application context holds the
// system clock; tests hold a fixed one, so that dates in reset values, imports
// and reports do not depend on the day a test runs.
#pragma once

namespace rebound::platform {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const Date&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Today's local date.
    virtual Date today() const = 0;
};

class SystemClock final : public Clock {
public:
    Date today() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(Date date) : date_(date) {}
    Date today() const override { return date_; }

private:
    Date date_;
};

}  // namespace rebound::platform
