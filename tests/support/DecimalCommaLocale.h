#pragma once

#include <string>

namespace velmora::test {

// An installed locale that writes numbers with a decimal comma
// (scripts/install-deps generates de_DE.UTF-8), or empty when there is none.
// The process's own locale is left as it was.
std::string DecimalCommaLocale();

// Sets the decimal-comma locale for the whole process while it lives, as the
// application object does with the desktop's locale.
class ScopedDecimalCommaLocale
{
public:
    ScopedDecimalCommaLocale();
    ~ScopedDecimalCommaLocale();
    ScopedDecimalCommaLocale(const ScopedDecimalCommaLocale&) = delete;
    ScopedDecimalCommaLocale& operator=(const ScopedDecimalCommaLocale&) = delete;
    bool active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

} // namespace velmora::test
