// de_DE.UTF-8 for the life of the object: the comma-decimal locale that desktop hosts set before
// they load the module. The locale must exist (tools/setup.sh generates it); `active` says
// whether it does, so a test can fail on a machine without it instead of passing unexercised.
#pragma once

#include <clocale>
#include <cstring>
#include <string>

namespace Vorlix::test {

class CommaDecimalLocale {
public:
    CommaDecimalLocale() {
        const char* current = std::setlocale(LC_ALL, nullptr);
        saved = current != nullptr ? current : "C";
        active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr &&
                 std::strcmp(std::localeconv()->decimal_point, ",") == 0;
    }
    ~CommaDecimalLocale() { std::setlocale(LC_ALL, saved.c_str()); }
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    bool active = false;
    static constexpr const char* kMissing = "the de_DE.UTF-8 locale is missing: run tools/setup.sh";

private:
    std::string saved;
};

} // namespace Vorlix::test
