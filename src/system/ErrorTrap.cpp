#include "system/ErrorTrap.h"

#include <exception>

int runSkippingFailures(std::initializer_list<std::function<void()>> statements) {
    int failures = 0;
    for (const auto& statement : statements) {
        try {
            statement();
        } catch (const std::exception&) {
            ++failures;
        }
    }
    return failures;
}
