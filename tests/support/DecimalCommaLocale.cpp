#include "support/DecimalCommaLocale.h"

#include <clocale>

namespace velmora::test {
namespace {

const char* const kCandidates[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "de_DE"};

bool WritesDecimalComma() { return *std::localeconv()->decimal_point == ','; }

} // namespace

std::string DecimalCommaLocale()
{
    ScopedDecimalCommaLocale probe;
    return probe.active() ? std::setlocale(LC_ALL, nullptr) : std::string();
}

ScopedDecimalCommaLocale::ScopedDecimalCommaLocale()
    : m_previous(std::setlocale(LC_ALL, nullptr))
{
    for (const char* name : kCandidates) {
        if (std::setlocale(LC_ALL, name) && WritesDecimalComma()) {
            m_active = true;
            return;
        }
    }
    std::setlocale(LC_ALL, m_previous.c_str());
}

ScopedDecimalCommaLocale::~ScopedDecimalCommaLocale()
{
    std::setlocale(LC_ALL, m_previous.c_str());
}

} // namespace velmora::test
