#pragma once

#include <stdexcept>
#include <string>

namespace quotaplan {

// A run-time error with the classic number and its Italian description. The engine
// raises these instead of returning inf or NaN; the command that set the error trap
// catches them and shows them in words.
class RunTimeError : public std::runtime_error {
public:
    RunTimeError(int number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    int Number() const { return number_; }
    std::string Description() const { return what(); }

    static RunTimeError InvalidArgument() {
        return {5, "Chiamata di routine o argomento non validi"};
    }
    static RunTimeError Overflow() { return {6, "Overflow"}; }
    static RunTimeError DivisionByZero() { return {11, "Divisione per zero"}; }
    static RunTimeError TypeMismatch() { return {13, "Tipo non corrispondente"}; }

private:
    int number_;
};

}  // namespace quotaplan
