#pragma once
// The program's reads and writes of its settings file, replayed on an IniDocument the way
// TIniFile makes them, from the table of keys, without Qt.
#include "settings/ini_document.h"
#include "settings/settings_keys.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class ValueKind { Integer, Boolean, Text };

ValueKind KindOf(const AnyKey& key);

// The program's writes in groups that a run makes whole or not at all: the keys of one section,
// as a window that closes writes them all.
const std::vector<std::span<const AnyKey>>& ProgramWriteGroups();

// What a read with the key's default returns, in the form the program writes it back: an
// integer in signed decimal, a boolean as "1" or "0", a text as it is.
std::string ReadValue(const IniDocument& document, const AnyKey& key);

// What a written value reads back as: a text becomes one line without blanks around it.
std::string StoredForm(const AnyKey& key, std::string_view written);
