// The form: a column of labelled fields edited one after the other with the
// field editor. Tab, Enter and the arrows move between fields, F9 offers the
// allowed values of a field, and when the form ends (whatever the key) every
// field is written back into the caller's variable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

enum class FieldType { text = 0, integer = 1, yesNo = 3, real = 4 };

// One field. Exactly one of the variable pointers is set, the one of its
// type; the caller's variable must outlive runForm.
struct TCampo {
  std::string key;       // message key said (its recording) on entering the field
  std::string prompt;
  std::string value;     // the text being edited
  std::string allowed;   // allowed values separated by "|", may be empty
  int maxLength = 0;
  FieldType type = FieldType::text;
  std::string* text = nullptr;
  int32_t* integer = nullptr;
  bool* yesNo = nullptr;
  double* real = nullptr;
};

constexpr int kMaxFormFields = 200;

// Start a form on the cursor's row.
void beginForm();
void addTextField(std::string_view key, std::string_view prompt, std::string& variable,
                  int maxLength);
void addIntegerField(std::string_view key, std::string_view prompt, int32_t& variable);
void addChoiceField(std::string_view key, std::string_view prompt, std::string& variable,
                    std::string_view allowedValues, int maxLength);
// A yes/no field shows "SIM" or "NAO" and offers both with F9; a value
// beginning with N (any case) writes false, any other true, empty nothing.
void addYesNoField(std::string_view key, std::string_view prompt, bool& variable);
// A real field takes a decimal comma or point.
void addRealField(std::string_view key, std::string_view prompt, double& variable,
                  int maxLength);

// Label width (28 until changed; kept for later forms).
void setFormLabelWidth(int width);
int formLabelWidth();

// Run the form (read-only when editable is false); returns the key that
// ended it. The fields are discarded afterwards.
uint8_t runForm(bool editable);

// Write one field's value into its variable (what runForm does at the end).
void writeBackField(const TCampo& field);

}  // namespace varlo
