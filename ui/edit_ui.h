#pragma once
// A one-line text field. SetText sets the text as the program does (no
// notification, no filtering); what the user types goes through TypeText, which
// keeps only digits when numberonly is set, cuts the text to maxchar characters,
// refuses a read-only field and notifies "textchanged".

#include "ui/label_ui.h"

namespace lumora {

class CEditUI : public CLabelUI {
public:
    CEditUI();
    std::string_view GetClass() const override;
    bool IsA(std::string_view kind) const override;

    int GetMaxChar() const { return max_char_; }
    void SetMaxChar(int max_char);
    bool IsNumberOnly() const { return number_only_; }
    void SetNumberOnly(bool on);
    bool IsReadOnly() const { return read_only_; }
    void SetReadOnly(bool on);
    bool IsPasswordMode() const { return password_; }
    void SetPasswordMode(bool on);
    // The grey hint shown while the field is empty (a language identifier in
    // resource-text mode).
    std::string GetTipValue() const;
    void SetTipValue(std::string_view tip);

    // The user replaced the text; false when the field does not take input.
    bool TypeText(std::string_view text, std::string* error = nullptr);
    // Text as the field would accept it from the keyboard.
    std::string FilterInput(std::string_view text) const;

    void SetAttribute(std::string_view name, std::string_view value) override;
    std::optional<std::string> GetProperty(std::string_view name) const override;
    bool SetProperty(std::string_view name, std::string_view value, std::string* error) override;
    std::vector<std::string> PropertyNames() const override;
    bool PerformUserAction(std::string_view type, std::string_view value, std::string* error) override;

private:
    int max_char_ = 255;
    bool number_only_ = false;
    bool read_only_ = false;
    bool password_ = false;
    std::string tip_;
};

}  // namespace lumora
