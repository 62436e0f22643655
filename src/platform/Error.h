#pragma once

#include <stdexcept>
#include <string>

namespace korvana {

// The one exception type of the core. Layers below the user interface raise it;
// the procedure that reports to the user turns it into a message (the guarded
// error report shows `number` and `what()`). Numbers follow the Visual Basic
// run-time error numbers where one fits (platform/ErrorNumbers.h) and DAO's in
// the database layer (db/DbErrors.h); 0 means "no particular number".
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message, int number = 0)
        : std::runtime_error(message), number_(number) {}

    int number() const noexcept { return number_; }

  private:
    int number_;
};

} // namespace korvana
