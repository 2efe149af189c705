// Fuzzes the parser of the menu's command strings.
#include <cstddef>
#include <cstdint>

#include "kiro/io/charset/charset.h"
#include "tavi/tool/command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = kiro::io::fromUtf8(data, size);
    const tavi::tool::Command command(text);
    if (command.name.empty()) {
        // Nothing at all is taken from a string without a leading name.
        if (!command.text.empty() || !command.arguments.empty() || !command.options.empty()) __builtin_trap();
        return 0;
    }
    if (command.text != text) __builtin_trap();
    for (wchar_t c : command.name) {
        if (!((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'))) __builtin_trap();
    }
    for (const auto& argument : command.arguments) {
        if (argument.empty() || argument[0] == L'-' || argument[0] == L'/') __builtin_trap();
    }
    return 0;
}
