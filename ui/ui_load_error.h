#pragma once
// Where loading a skin, resource table or language file went wrong.

#include <string>

namespace lumora {

struct UiLoadError {
    std::string file;     // the file, or "<string>" for inline XML
    int line = 0;         // 1-based; 0 when the whole file is at fault
    std::string message;

    bool Empty() const { return message.empty(); }
    // "file:line: message"
    std::string ToString() const {
        return file + ":" + std::to_string(line) + ": " + message;
    }
};

}  // namespace lumora
