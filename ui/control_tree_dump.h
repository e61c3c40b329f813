#pragma once
// The control tree as text, one control per line, indented two blanks per level:
//   ClassName "name" text="..." [hidden] [disabled] [selected] [value=N] [cursel=N]
// Texts are quoted with \" \\ \n escapes. Used by automation ("tree") and tests.

#include <string>

namespace lumora {

class CControlUI;
class CWindowWnd;

class ControlTreeDump {
public:
    static std::string Dump(const CControlUI& root);
    // Every live window: a header line per window, then its tree.
    //   window <handle> <class> "title" [visible] [modal]
    static std::string DumpWindows();
    static std::string Quote(const std::string& text);
};

}  // namespace lumora
