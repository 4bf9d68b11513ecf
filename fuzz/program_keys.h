#pragma once
// The settings file's keys as the program uses them, and its reads replayed on an IniDocument
// the way TIniFile makes them, without the toolkit.
#include "settings/ini_document.h"

#include <span>
#include <string>
#include <string_view>

enum class ValueKind { Integer, Boolean, Text };

struct ProgramKey {
    std::string_view section;
    std::string_view key;
    ValueKind kind = ValueKind::Text;
    std::string_view fallback; // the read's default, in the form the program writes it
};

// Every read the program makes, each with its default.
std::span<const ProgramKey> ProgramReads();

// The program's writes in groups that a run makes whole or not at all: each window writes
// its keys in its own order when it closes; the audio file picker writes the chosen file
// only when it holds one.
std::span<const std::span<const ProgramKey>> ProgramWriteGroups();

// What a read returns, in the form the program writes it back: an integer in signed
// decimal, a boolean as "1" or "0", a text as it is.
std::string ReadValue(const IniDocument& document, const ProgramKey& key);

// What a written value reads back as: a text becomes one line without blanks around it.
std::string StoredForm(const ProgramKey& key, std::string_view written);
