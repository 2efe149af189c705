// The toolkit's exception: "<file>(<line>) <function>\n\n<message>".
#include "kiro/exception.h"

namespace kiro {

Exception::Exception(const char* file, uint32_t line, const char* function, const char* message) {
    std::string name = file ? file : "";
    // Only the file's own name: source paths use '\' on Windows and '/' elsewhere.
    const size_t cut = name.find_last_of("\\/");
    if (cut != std::string::npos) name.erase(0, cut + 1);
    text_ = name + "(" + std::to_string(line) + ") " + (function ? function : "") + "\n\n" +
            (message ? message : "undefined error");
}

}  // namespace kiro
