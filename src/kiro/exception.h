// The toolkit's one exception type; its text names the throwing source file, line and function.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace kiro {

class Exception : public std::exception {
public:
    // message may be null ("undefined error").
    Exception(const char* file, uint32_t line, const char* function, const char* message);
    ~Exception() override = default;
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

}  // namespace kiro

#define KIRO_THROW(function, message) throw ::kiro::Exception(__FILE__, __LINE__, function, message)
