#pragma once
// The registrar's script language: keys nest in braces, `= s 'text'` gives a key's default
// value, `val Name = s 'text'` names a value, `NoRemove` keeps a key at unregistration, and
// %NAME% is replaced by a variable before parsing ("%%" is a literal '%').

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shared/win/errors.h"

namespace tav::portsvc::host {

// DISP_E_EXCEPTION: the script is malformed (the code the system's registrar gives too).
inline constexpr win::HResult kScriptSyntaxError = win::kDispEException;

// Deeper nesting than this is refused rather than recursed into.
inline constexpr int kMaxScriptDepth = 32;

struct ScriptValue {
    std::u16string name;
    std::u16string data;
};

struct ScriptKey {
    std::u16string name;
    bool noRemove = false;
    bool hasDefault = false;
    std::u16string defaultValue;
    std::vector<ScriptValue> values;
    std::vector<ScriptKey> subkeys;
};

struct ScriptRoot {
    std::u16string rootName;  // as written, e.g. "HKCR"
    std::vector<ScriptKey> keys;
};

using ScriptVariables = std::vector<std::pair<std::u16string, std::u16string>>;

// Replaces every %NAME% by its value (names compared with letter case ignored).
[[nodiscard]] win::HResult ExpandScriptVariables(std::u16string_view text,
                                                 const ScriptVariables& variables,
                                                 std::u16string& expanded);

// Parses an expanded script. kScriptSyntaxError on any malformed input.
[[nodiscard]] win::HResult ParseRegistryScript(std::u16string_view text,
                                               std::vector<ScriptRoot>& roots);

}  // namespace tav::portsvc::host
