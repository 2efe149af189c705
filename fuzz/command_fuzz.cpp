// Fuzzes the parser of the menu's command strings.

#include "fuzz_folder.h"
#include "tavi/tool/command.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = kiro::io::fromUtf8(data, size);
    const tavi::tool::Command command(text);
    if (command.name.empty()) {
        // Nothing at all is taken from a string without a leading name.
        check(command.text.empty() && command.arguments.empty() && command.options.empty());
        return 0;
    }
    check(command.text == text);
    for (wchar_t c : command.name) check((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'));
    for (const auto& argument : command.arguments)
        check(!argument.empty() && argument[0] != L'-' && argument[0] != L'/');
    return 0;
}
